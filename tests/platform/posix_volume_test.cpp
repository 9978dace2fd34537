// POSIX raw volumes through the drive map: 64-bit positions on a sparse
// image, the end of the image, failed opens with their causes (a FIFO or
// another special file refused without blocking), and the fault-injecting
// wrapper over the real volumes.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "platform/drive_map.h"
#include "platform/fault_volume.h"
#include "platform/raw_volume.h"
#include "tests/platform/platform_test_support.h"

namespace orvanta {
namespace {

using platformtest::TempDir;
using Sector = std::array<std::uint8_t, 512>;

constexpr std::uint64_t kImageSectors = 60000001ULL;

// A sector whose bytes tell which sector it is.
Sector PatternOf(std::uint32_t sector) {
    Sector s{};
    for (int i = 0; i < 512; ++i) s[i] = static_cast<std::uint8_t>((sector * 7u + static_cast<unsigned>(i) * 13u) ^ (sector >> 16));
    s[0] = kRecordMarker;
    std::memcpy(&s[500], &sector, sizeof sector);
    return s;
}

// A sparse image of the full card size with a few sectors written.
class SparseImage : public ::testing::Test {
protected:
    static constexpr std::uint32_t kWritten[] = {0, 1, 4194303, 4194304, 4194305, 8388607, 8388608, 8388609,
                                                 59999999, 60000000};

    void SetUp() override {
        path_ = temp_ / "card.img";
        int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kImageSectors * 512)), 0);
        for (std::uint32_t sector : kWritten) {
            Sector s = PatternOf(sector);
            ASSERT_EQ(::pwrite(fd, s.data(), s.size(), static_cast<off_t>(sector) * 512), 512);
        }
        ASSERT_EQ(::close(fd), 0);
        map_.Set('E', path_);
        volumes_ = MakePlatformVolumeSystem(map_);
    }

    // Opens E:, positions at `offset`, reads `count` bytes into `out`.
    std::int64_t ReadAt(std::uint64_t offset, void* out, std::size_t count) {
        const VolumeRead read = ReadVolumeOnce(*volumes_, "\\\\.\\E:", offset, out, count);
        return read.Failed() ? -1 : static_cast<std::int64_t>(read.delivered);
    }

    TempDir temp_;
    std::string path_;
    DriveMap map_;
    std::unique_ptr<RawVolumeSystem> volumes_;
};

TEST_F(SparseImage, SectorsAtAndBeyondTwoGigabytesReadFromTheirOwnOffset) {
    for (std::uint32_t sector : kWritten) {
        SCOPED_TRACE("sector " + std::to_string(sector));
        Sector got{};
        ASSERT_EQ(ReadAt(static_cast<std::uint64_t>(sector) * 512, got.data(), got.size()), 512);
        EXPECT_EQ(got, PatternOf(sector));
    }
}

TEST_F(SparseImage, UnwrittenSectorsReadAsZeros) {
    for (std::uint32_t sector : {2u, 90000u, 4194306u, 30000000u}) {
        SCOPED_TRACE("sector " + std::to_string(sector));
        Sector got;
        got.fill(0xAB);
        ASSERT_EQ(ReadAt(static_cast<std::uint64_t>(sector) * 512, got.data(), got.size()), 512);
        EXPECT_EQ(got, Sector{});
    }
}

TEST_F(SparseImage, ReadsAtOrPastTheEndDeliverNothingAndStraddlingReadsStopAtTheEnd) {
    struct Case {
        std::uint64_t offset;
        std::int64_t expected;
    };
    const std::uint64_t end = kImageSectors * 512;
    const Case cases[] = {
        {end, 0},
        {end + 512, 0},
        {static_cast<std::uint64_t>(60000001u + 100u) * 512, 0},
        {0xFFFFFFFFULL * 512, 0},  // the largest sector number
        {end - 100, 100},
        {end - 512, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("offset " + std::to_string(c.offset));
        Sector got;
        got.fill(0xAB);
        EXPECT_EQ(ReadAt(c.offset, got.data(), got.size()), c.expected);
        // Bytes the read did not deliver are zero.
        for (std::size_t i = static_cast<std::size_t>(c.expected); i < got.size(); ++i) ASSERT_EQ(got[i], 0);
    }
}

TEST_F(SparseImage, CardReaderDecodesTheTimestampOfASectorBeyondTwoGigabytes) {
    // 15 March 2024 10:20:30 in BCD, at sector 4194304 (byte offset 2^31).
    int fd = ::open(path_.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::uint8_t record[7] = {0x20, 0x24, 0x03, 0x15, 0x10, 0x20, 0x30};
    ASSERT_EQ(::pwrite(fd, record, sizeof record, 4194304LL * 512), 7);
    ::close(fd);

    struct Case {
        const char* zone;
        std::int32_t expected;  // the same wall time as seconds since 1970
    };
    const Case cases[] = {
        {"Asia/Shanghai", 1710469230},  // 02:20:30 UTC
        {"Europe/Berlin", 1710494430},  // 09:20:30 UTC, still winter time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        platformtest::ScopedTimeZone zone(c.zone);
        CCardReader reader(*volumes_);
        reader.SetDevicePath('E');
        EXPECT_EQ(reader.ReadSector(4194304), c.expected);
        EXPECT_EQ(reader.sectorBuffer[500], PatternOf(4194304)[500]);
    }
}

TEST_F(SparseImage, TheFaultWrapperFailsChosenOperationsOfTheRealVolume) {
    FaultVolumeSystem faulty(*volumes_);
    faulty.faults.failReadAt = 2;
    faulty.faults.ioFailure = VolumeStatus::Of(VolumeCause::kIoError, EIO);
    CCardReader reader(faulty);  // its drive search reads 101000 and 101001 of D: to Z:
    reader.SetDevicePath('E');
    faulty.ResetCounters();
    Sector expected = PatternOf(4194304);
    for (int call = 1; call <= 3; ++call) {
        SCOPED_TRACE("call " + std::to_string(call));
        reader.ReadSector(4194304);
        EXPECT_EQ(std::memcmp(reader.sectorBuffer, call == 2 ? Sector{}.data() : expected.data(), 512), 0);
    }
    EXPECT_EQ(faulty.counters.faultsFired, 1u);
    EXPECT_EQ(faulty.counters.reads, 3u);
    EXPECT_EQ(faulty.counters.bytesRead, 1024u);
    EXPECT_EQ(faulty.counters.closes, 3u);
}

TEST(PosixVolume, OpeningFailsWithItsCauseAndNeverBlocksOnASpecialFile) {
    TempDir temp;
    const std::string fifo = temp / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string image = temp / "card.img";
    platformtest::WriteFile(image, std::string(512, 'x'));
    DriveMap map;
    map.Set('E', temp / "missing.img");
    map.Set('F', temp.Path());
    map.Set('G', fifo);  // nobody writes it: a blocking open would hang here
    map.Set('H', "/dev/null");
    map.Set('I', temp / "missing-dir/card.img");
    map.Set('J', image + "/inside");
    map.Set('K', image);
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    const struct {
        const char* path;
        VolumeCause cause;
        int osError;
    } cases[] = {
        {"\\\\.\\D:", VolumeCause::kNotFound, 0},  // unmapped
        {"\\\\.\\[:", VolumeCause::kNotFound, 0},
        {"", VolumeCause::kNotFound, 0},
        {"E:", VolumeCause::kNotFound, 0},
        {"\\\\.\\E:", VolumeCause::kNotFound, ENOENT},
        {"\\\\.\\I:", VolumeCause::kNotFound, ENOENT},
        {"\\\\.\\J:", VolumeCause::kNotFound, ENOTDIR},
        {"\\\\.\\F:", VolumeCause::kNotCardDevice, 0},  // a directory
        {"\\\\.\\G:", VolumeCause::kNotCardDevice, 0},  // a FIFO
        {"\\\\.\\H:", VolumeCause::kNotCardDevice, 0},  // a character device
        {"\\\\.\\K:", VolumeCause::kOk, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("device path \"") + c.path + "\"");
        const VolumeOpen opened = volumes->Open(c.path);
        EXPECT_EQ(opened.volume != nullptr, c.cause == VolumeCause::kOk);
        EXPECT_EQ(opened.status.cause, c.cause);
        EXPECT_EQ(opened.status.osError, c.osError);
    }
    EXPECT_EQ(volumes->Open(nullptr).status.cause, VolumeCause::kNotFound);
}

// The type of a drive's path is checked on its first open and after a failed
// open, not on every read: a path that later names a FIFO or a directory must
// neither block nor read as a card, and once it failed to open, the next open
// checks again.
TEST(PosixVolume, APathThatLaterNamesSomethingElseNeitherBlocksNorReadsAsACard) {
    const struct {
        const char* name;
        int (*make)(const char* path);
    } replacements[] = {
        {"a FIFO", [](const char* path) { return ::mkfifo(path, 0600); }},
        {"a directory", [](const char* path) { return ::mkdir(path, 0700); }},
    };
    for (const auto& replacement : replacements) {
        SCOPED_TRACE(replacement.name);
        TempDir temp;
        const std::string path = temp / "card.img";
        platformtest::WriteFile(path, std::string(1024, 'x'));
        DriveMap map;
        map.Set('E', path);
        std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
        char buffer[512];
        ASSERT_TRUE(ReadVolumeOnce(*volumes, "\\\\.\\E:", 512, buffer, sizeof buffer).status.Ok());

        ASSERT_EQ(::unlink(path.c_str()), 0);
        ASSERT_EQ(replacement.make(path.c_str()), 0);
        const VolumeRead read = ReadVolumeOnce(*volumes, "\\\\.\\E:", 512, buffer, sizeof buffer);
        EXPECT_EQ(read.status.cause, VolumeCause::kNotCardDevice);
        EXPECT_EQ(read.delivered, 0u);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '\0'));

        // Gone, then back as the same thing: the open after the failure is checked.
        ASSERT_EQ(std::filesystem::remove(path) ? 0 : -1, 0);
        EXPECT_EQ(volumes->Open("\\\\.\\E:").status.cause, VolumeCause::kNotFound);
        ASSERT_EQ(replacement.make(path.c_str()), 0);
        const VolumeOpen opened = volumes->Open("\\\\.\\E:");
        EXPECT_EQ(opened.volume, nullptr);
        EXPECT_EQ(opened.status.cause, VolumeCause::kNotCardDevice);
    }
}

}  // namespace
}  // namespace orvanta
