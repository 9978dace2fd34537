// Raw volume access: the four operations the card reader needs from the
// operating system (open read-only, position, read, close), behind one small
// interface in the shape of SQLite's OS layer. One implementation per platform
// (POSIX, Win32) and an in-memory one for tests that can fail on demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orvanta {

// One open raw volume. Destroying it closes the device.
class RawVolume {
public:
    virtual ~RawVolume() = default;
    RawVolume() = default;
    RawVolume(const RawVolume&) = delete;
    RawVolume& operator=(const RawVolume&) = delete;

    // Sets the position of the next read, in bytes from the start of the
    // device. Returns false when the device refuses the position.
    virtual bool SetPosition(std::uint64_t byteOffset) = 0;

    // Reads up to `count` bytes at the current position into `buffer` and
    // advances the position. Returns the number of bytes delivered (0 at or
    // past the end of the device), or -1 when the read failed. Bytes the read
    // did not deliver are left untouched: callers clear their buffers first.
    virtual std::int64_t Read(void* buffer, std::size_t count) = 0;
};

// The platform's way of opening a raw volume by its device path
// (for example "\\.\E:").
class RawVolumeSystem {
public:
    virtual ~RawVolumeSystem() = default;

    // Opens the device read-only. Returns null when it cannot be opened.
    virtual std::unique_ptr<RawVolume> Open(const char* devicePath) = 0;
};

// The system of the platform the program runs on, resolving drive paths
// through the drive map it was given.
class DriveMap;
std::unique_ptr<RawVolumeSystem> MakePlatformVolumeSystem(const DriveMap& drives);

}  // namespace orvanta
