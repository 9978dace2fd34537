// The Win32 raw volumes on real files and drive paths: CreateFileA opens,
// SetFilePointer with its high half reaches offsets beyond 4 GiB, drives
// that name nothing fail to open, a drive the map names is its image file.
#include "platform/raw_volume.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/drive_map.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

constexpr std::uint64_t kSector = 512;

std::vector<unsigned char> Pattern(std::uint64_t sector) {
    std::vector<unsigned char> bytes(kSector);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>((sector * 7 + i) & 0xFF);
    return bytes;
}

TEST(Win32Volume, DrivesWithoutADeviceDoNotOpenAndSayWhy) {
    std::unique_ptr<RawVolumeSystem> system = MakePlatformVolumeSystem(DriveMap());
    for (const char* path : {"\\\\.\\[:", "\\\\.\\Q:", "", "\\\\.\\"}) {
        SCOPED_TRACE(path);
        const VolumeOpen opened = system->Open(path);
        EXPECT_FALSE(opened);
        EXPECT_EQ(opened.status.cause, VolumeCause::kNotFound) << opened.status.osError;
        EXPECT_NE(opened.status.osError, 0);  // GetLastError is kept
    }
    EXPECT_EQ(system->Open(nullptr).status.cause, VolumeCause::kNotFound);
}

TEST(Win32Volume, ReadsSectorsBeyondFourGibibytes) {
    testenv::TempDir dir;
    const std::string image = dir / "card.img";
    // Sectors around 2^31 and 2^32 bytes and above; the file stays sparse.
    const std::uint64_t sectors[] = {3, 4194304, 8388607, 8388608, 8400001, 12582913};
    {
        std::FILE* file = std::fopen(image.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        for (std::uint64_t sector : sectors) {
            ASSERT_EQ(_fseeki64(file, static_cast<__int64>(sector * kSector), SEEK_SET), 0);
            std::vector<unsigned char> bytes = Pattern(sector);
            ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        }
        ASSERT_EQ(std::fclose(file), 0);
    }
    std::unique_ptr<RawVolumeSystem> system = MakePlatformVolumeSystem(DriveMap());
    for (std::uint64_t sector : sectors) {
        SCOPED_TRACE(sector);
        VolumeOpen volume = system->Open(image.c_str());
        ASSERT_TRUE(volume);
        std::vector<unsigned char> read(kSector, 0xEE);
        ASSERT_EQ(volume->ReadAt(sector * kSector, read.data(), read.size()).delivered, kSector);
        EXPECT_EQ(read, Pattern(sector));
    }
    // The same low half without the high half lands on an unwritten sector.
    VolumeOpen volume = system->Open(image.c_str());
    ASSERT_TRUE(volume);
    std::vector<unsigned char> read(kSector, 0xEE);
    ASSERT_EQ(volume->ReadAt((8400001 * kSector) & 0xFFFFFFFFu, read.data(), read.size()).delivered, kSector);
    EXPECT_EQ(read, std::vector<unsigned char>(kSector, 0));
    // Past the end the read delivers nothing: a short read, zero-filled.
    read.assign(kSector, 0xEE);
    const VolumeRead past = volume->ReadAt((12582913 + 10) * kSector, read.data(), read.size());
    EXPECT_EQ(past.delivered, 0u);
    EXPECT_EQ(past.status.cause, VolumeCause::kShortRead);
    EXPECT_EQ(read, std::vector<unsigned char>(kSector, 0));
}

TEST(Win32Volume, MappedDriveIsItsImageFile) {
    testenv::TempDir dir;
    // A name outside the ANSI code page: the map's paths are UTF-8.
    const std::string image = dir / "\xe6\x98\xa0\xe5\x83\x8f-card.img";
    const std::vector<unsigned char> bytes = Pattern(5);
    {
        std::wstring wide(MAX_PATH, L'\0');
        wide.resize(static_cast<std::size_t>(
            ::MultiByteToWideChar(CP_UTF8, 0, image.c_str(), -1, &wide[0], MAX_PATH) - 1));
        std::FILE* file = ::_wfopen(wide.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        ASSERT_EQ(std::fclose(file), 0);
    }
    DriveMap drives;
    drives.Set('E', image);
    drives.Set('F', dir / "missing.img");
    std::unique_ptr<RawVolumeSystem> system = MakePlatformVolumeSystem(drives);
    const struct {
        const char* device;
        bool opens;
    } cases[] = {{"\\\\.\\E:", true}, {"\\\\.\\F:", false}, {"\\\\.\\Q:", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        VolumeOpen opened = system->Open(c.device);
        ASSERT_EQ(static_cast<bool>(opened), c.opens);
        if (!c.opens) {
            EXPECT_EQ(opened.status.cause, VolumeCause::kNotFound);
            continue;
        }
        std::vector<unsigned char> read(kSector, 0xEE);
        EXPECT_EQ(opened->ReadAt(0, read.data(), read.size()).delivered, kSector);
        EXPECT_EQ(read, bytes);
    }
}

}  // namespace
}  // namespace orvanta
