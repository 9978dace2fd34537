// The in-memory raw volume system: sectors, device size, counters and the
// fault plan that fails the k-th open, positioning or read, or shortens reads.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "platform/memory_volume.h"

namespace orvanta {
namespace {

using Sector = std::array<std::uint8_t, 512>;

const std::string kE = "\\\\.\\E:";

class MemoryVolumes : public ::testing::Test {
protected:
    void SetUp() override {
        MemoryDisk& disk = volumes_.Attach('E');
        for (std::uint32_t s : {5u, 6u, 4194304u}) {
            Sector& bytes = disk.Sector(s);
            for (int i = 0; i < 512; ++i) bytes[i] = static_cast<std::uint8_t>(s + i);
        }
    }

    // One complete sector read as the card reader does it: open, position,
    // read, close. Returns the read's result, or -2 / -3 for a failed open /
    // positioning. `out` is cleared first.
    std::int64_t ReadSector(std::uint32_t sector, Sector* out, const std::string& path = kE) {
        out->fill(0);
        std::unique_ptr<RawVolume> volume = volumes_.Open(path.c_str());
        if (!volume) return -2;
        if (!volume->SetPosition(static_cast<std::uint64_t>(sector) * 512)) return -3;
        return volume->Read(out->data(), out->size());
    }

    static Sector Expected(std::uint32_t s) {
        Sector bytes;
        for (int i = 0; i < 512; ++i) bytes[i] = static_cast<std::uint8_t>(s + i);
        return bytes;
    }

    MemoryVolumeSystem volumes_;
};

TEST_F(MemoryVolumes, StoredSectorsReadBackAndOthersReadAsZeros) {
    struct Case {
        std::uint32_t sector;
        bool stored;
    };
    for (const Case& c : {Case{5, true}, Case{6, true}, Case{4194304, true}, Case{7, false}, Case{0, false}}) {
        SCOPED_TRACE("sector " + std::to_string(c.sector));
        Sector got;
        ASSERT_EQ(ReadSector(c.sector, &got), 512);
        EXPECT_EQ(got, c.stored ? Expected(c.sector) : Sector{});
    }
}

TEST_F(MemoryVolumes, ReadsStopAtTheEndOfTheDisk) {
    volumes_.Find(kE)->sizeInSectors = 100;
    struct Case {
        std::uint64_t offset;
        std::int64_t expected;
    };
    for (const Case& c : {Case{99 * 512, 512}, Case{100 * 512 - 12, 12}, Case{100 * 512, 0}, Case{4194304ULL * 512, 0}}) {
        SCOPED_TRACE("offset " + std::to_string(c.offset));
        std::unique_ptr<RawVolume> volume = volumes_.Open(kE.c_str());
        ASSERT_TRUE(volume);
        ASSERT_TRUE(volume->SetPosition(c.offset));
        Sector got;
        got.fill(0xCD);
        EXPECT_EQ(volume->Read(got.data(), got.size()), c.expected);
        for (std::size_t i = static_cast<std::size_t>(c.expected); i < got.size(); ++i) ASSERT_EQ(got[i], 0xCD);
    }
}

TEST_F(MemoryVolumes, CountersCountEveryOperationAndOpensPerPath) {
    Sector got;
    ASSERT_EQ(ReadSector(5, &got), 512);
    ASSERT_EQ(ReadSector(6, &got), 512);
    ASSERT_EQ(ReadSector(5, &got, "\\\\.\\F:"), -2);  // no disk on F:
    ASSERT_EQ(ReadSector(5, &got, "\\\\.\\[:"), -2);
    const VolumeCounters& c = volumes_.counters;
    EXPECT_EQ(c.opens, 4u);
    EXPECT_EQ(c.failedOpens, 2u);
    EXPECT_EQ(c.positions, 2u);
    EXPECT_EQ(c.reads, 2u);
    EXPECT_EQ(c.closes, 2u);
    EXPECT_EQ(c.bytesRead, 1024u);
    EXPECT_EQ(c.Total(), 10u);
    EXPECT_EQ(volumes_.opensByPath[kE], 2u);
    EXPECT_EQ(volumes_.opensByPath["\\\\.\\F:"], 1u);
    EXPECT_EQ(volumes_.opensByPath["\\\\.\\[:"], 1u);

    volumes_.ResetCounters();
    EXPECT_EQ(volumes_.counters.Total(), 0u);
    EXPECT_TRUE(volumes_.opensByPath.empty());
}

TEST_F(MemoryVolumes, TheKthOperationOfEachKindFailsAndOnlyThatOne) {
    struct Case {
        const char* name;
        void (*plan)(FaultPlan&);
        std::int64_t failure;  // what ReadSector gives for the failing call
    };
    const Case cases[] = {
        {"open", [](FaultPlan& f) { f.failOpenAt = 3; }, -2},
        {"position", [](FaultPlan& f) { f.failPositionAt = 3; }, -3},
        {"read", [](FaultPlan& f) { f.failReadAt = 3; }, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        volumes_.ResetCounters();
        volumes_.faults = FaultPlan();
        c.plan(volumes_.faults);
        for (int call = 1; call <= 5; ++call) {
            SCOPED_TRACE("call " + std::to_string(call));
            Sector got;
            std::int64_t result = ReadSector(5, &got);
            if (call == 3) {
                EXPECT_EQ(result, c.failure);
                EXPECT_EQ(got, Sector{});
            } else {
                EXPECT_EQ(result, 512);
                EXPECT_EQ(got, Expected(5));
            }
        }
        // A failed open closes nothing; every opened volume is closed once.
        EXPECT_EQ(volumes_.counters.closes, volumes_.counters.opens - volumes_.counters.failedOpens);
    }
}

TEST_F(MemoryVolumes, AlwaysFailingPlansFailEveryCall) {
    struct Case {
        const char* name;
        void (*plan)(FaultPlan&);
        std::int64_t failure;
    };
    const Case cases[] = {
        {"open", [](FaultPlan& f) { f.alwaysFailOpen = true; }, -2},
        {"position", [](FaultPlan& f) { f.alwaysFailPosition = true; }, -3},
        {"read", [](FaultPlan& f) { f.alwaysFailRead = true; }, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        volumes_.faults = FaultPlan();
        c.plan(volumes_.faults);
        for (std::uint32_t sector : {5u, 6u, 7u}) {
            Sector got;
            EXPECT_EQ(ReadSector(sector, &got), c.failure);
        }
    }
}

TEST_F(MemoryVolumes, ShortReadsDeliverOnlyThePlannedBytes) {
    struct Case {
        const char* name;
        std::uint64_t at;
        long long bytes;
        std::int64_t expectedPerCall[3];
    };
    const Case cases[] = {
        {"every read, 100 bytes", 0, 100, {100, 100, 100}},
        {"second read, 7 bytes", 2, 7, {512, 7, 512}},
        {"second read, nothing", 2, 0, {512, 0, 512}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        volumes_.ResetCounters();
        volumes_.faults = FaultPlan();
        volumes_.faults.shortReadAt = c.at;
        volumes_.faults.shortReadBytes = c.bytes;
        for (int call = 0; call < 3; ++call) {
            SCOPED_TRACE("call " + std::to_string(call + 1));
            Sector got;
            std::int64_t n = ReadSector(5, &got);
            ASSERT_EQ(n, c.expectedPerCall[call]);
            Sector expected = Expected(5);
            for (std::size_t i = static_cast<std::size_t>(n); i < 512; ++i) expected[i] = 0;
            EXPECT_EQ(got, expected);
        }
        EXPECT_EQ(volumes_.counters.bytesRead,
                  static_cast<std::uint64_t>(c.expectedPerCall[0] + c.expectedPerCall[1] + c.expectedPerCall[2]));
    }
}

}  // namespace
}  // namespace orvanta
