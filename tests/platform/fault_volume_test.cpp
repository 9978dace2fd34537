// The in-memory raw volume system (sectors, device size) under the
// fault-injecting wrapper: its counters and the fault plan that fails the k-th
// open, positioning or read, or shortens reads, and counts the faults fired.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "platform/fault_volume.h"
#include "platform/memory_volume.h"

namespace orvanta {
namespace {

using Sector = std::array<std::uint8_t, 512>;

const std::string kE = "\\\\.\\E:";

class MemoryVolumes : public ::testing::Test {
protected:
    void SetUp() override {
        MemoryDisk& disk = memory_.Attach('E');
        for (std::uint32_t s : {5u, 6u, 4194304u}) {
            Sector& bytes = disk.Sector(s);
            for (int i = 0; i < 512; ++i) bytes[i] = static_cast<std::uint8_t>(s + i);
        }
    }

    // One complete sector read as the card reader does it: open, position,
    // read, close. Returns the bytes delivered, or -2 / -3 / -1 for a failed
    // open / positioning / read. `out` is filled with 0xEE first: the layer
    // must zero what it did not deliver.
    std::int64_t ReadSector(std::uint32_t sector, Sector* out, const std::string& path = kE) {
        out->fill(0xEE);
        VolumeOpen volume = volumes_.Open(path.c_str());
        if (!volume) {
            out->fill(0);
            return -2;
        }
        if (!volume->SetPosition(static_cast<std::uint64_t>(sector) * 512).Ok()) {
            out->fill(0);
            return -3;
        }
        const VolumeRead read = volume->Read(out->data(), out->size());
        return read.Failed() ? -1 : static_cast<std::int64_t>(read.delivered);
    }

    static Sector Expected(std::uint32_t s) {
        Sector bytes;
        for (int i = 0; i < 512; ++i) bytes[i] = static_cast<std::uint8_t>(s + i);
        return bytes;
    }

    MemoryVolumeSystem memory_;
    FaultVolumeSystem volumes_{memory_};
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
    memory_.Find(kE)->sizeInSectors = 100;
    struct Case {
        std::uint64_t offset;
        std::size_t expected;
    };
    for (const Case& c : {Case{99 * 512, 512}, Case{100 * 512 - 12, 12}, Case{100 * 512, 0}, Case{4194304ULL * 512, 0}}) {
        SCOPED_TRACE("offset " + std::to_string(c.offset));
        VolumeOpen volume = volumes_.Open(kE.c_str());
        ASSERT_TRUE(volume);
        Sector got;
        got.fill(0xCD);
        const VolumeRead read = volume->ReadAt(c.offset, got.data(), got.size());
        EXPECT_EQ(read.delivered, c.expected);
        // A read the device ended early is short, not failed, and zero-filled.
        EXPECT_EQ(read.status.cause, c.expected == 512 ? VolumeCause::kOk : VolumeCause::kShortRead);
        EXPECT_FALSE(read.Failed());
        for (std::size_t i = c.expected; i < got.size(); ++i) ASSERT_EQ(got[i], 0);
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
        EXPECT_EQ(volumes_.counters.faultsFired, 1u);
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
        volumes_.ResetCounters();
        for (std::uint32_t sector : {5u, 6u, 7u}) {
            Sector got;
            EXPECT_EQ(ReadSector(sector, &got), c.failure);
            EXPECT_EQ(got, Sector{});
        }
        EXPECT_EQ(volumes_.counters.faultsFired, 3u);
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
