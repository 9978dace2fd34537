// The fuzz targets' input reader decodes the same bytes to the same values on
// every compiler: little-endian, first byte lowest, zeros past the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace orvanta {
namespace {

TEST(FuzzInputReader, ReadsLittleEndianValuesInInputOrder) {
    const std::vector<std::uint8_t> bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                             0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E};
    fuzz::InputReader in(bytes.data(), bytes.size());
    EXPECT_EQ(in.U16(), 0x0201u);
    EXPECT_EQ(in.U32(), 0x06050403u);
    EXPECT_EQ(in.U64(), 0x0E0D0C0B0A090807ull);
    EXPECT_EQ(in.U16(), 0u);  // past the end
}

TEST(FuzzInputReader, ValuesPastTheEndAreZeroFilled) {
    const struct {
        std::vector<std::uint8_t> bytes;
        std::uint64_t u64;
    } cases[] = {
        {{}, 0},
        {{0xAB}, 0xAB},
        {{0x11, 0x22, 0x33}, 0x332211},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x99}, 0x7FFFFFFFFFFFFFFFull},
    };
    for (const auto& c : cases) {
        fuzz::InputReader in(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(in.U64(), c.u64);
    }
}

}  // namespace
}  // namespace orvanta
