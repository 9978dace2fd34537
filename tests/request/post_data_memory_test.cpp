// BuildPostData under allocation failure: this program's operator new can be
// told to fail its k-th allocation, so every allocation the builder makes is
// made to fail once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "platform/memory_volume.h"
#include "request/request_builders.h"

namespace {
// 0: allocations succeed; k > 0: the k-th allocation from now on fails.
long g_failAllocationAt = 0;
}  // namespace

// GCC cannot see that these replace the global pair and warns about free().
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (g_failAllocationAt > 0 && --g_failAllocationAt == 0) throw std::bad_alloc();
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace orvanta {
namespace {

TEST(BuildPostDataMemory, ReportsOutOfMemoryAndLeavesTheBodyAsItWas) {
    MemoryVolumeSystem volumes;
    auto reader = std::make_unique<CCardReader>(volumes);
    std::strcpy(reader->waveText, "512 -3 ");
    std::strcpy(reader->trendText, "0 0 ");
    std::strcpy(reader->infoText, "68 1 1 1 0 ");
    ClientSettings settings;
    std::memset(&settings, 0, sizeof(settings));
    settings.selectedTime = 1386302400;

    const std::vector<std::uint8_t> before = {'o', 'l', 'd'};
    int failures = 0;
    for (long k = 1; k < 100; ++k) {
        SCOPED_TRACE(k);
        std::vector<std::uint8_t> body = before;
        g_failAllocationAt = k;
        BuildResult result = BuildPostData(&body, settings, *reader);
        bool allocationFailed = g_failAllocationAt == 0;
        g_failAllocationAt = 0;
        if (!allocationFailed) {
            EXPECT_EQ(result, BuildResult::Ok);
            EXPECT_EQ(body.size(), 78u);
            break;
        }
        ++failures;
        EXPECT_EQ(result, BuildResult::OutOfMemory);
        EXPECT_EQ(body, before);
    }
    EXPECT_GE(failures, 2) << "the builder should allocate at least the text and the byte vector";
}

}  // namespace
}  // namespace orvanta
