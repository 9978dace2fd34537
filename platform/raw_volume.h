// Raw volume access: the four operations the card reader needs from the
// operating system (open read-only, position, read, close), behind one small
// interface in the shape of SQLite's OS layer. One implementation per platform
// (POSIX, Win32) and an in-memory one for tests; faults are injected by a
// wrapper over any of them (platform/fault_volume.h).
//
// Every operation says why it failed: a cause a person can act on, and the
// operating system's own error (errno or GetLastError) kept beside it. A read
// zero-fills whatever it did not deliver, so a caller never sees stale bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orvanta {

// Why an operation on a volume did not do all it was asked to.
enum class VolumeCause {
    kOk,
    kNotFound,       // no such device or file, no medium, or a drive that names nothing
    kNoPermission,   // the device exists but this user may not read it
    kNotCardDevice,  // neither a block device nor a regular (image) file
    kIoError,        // the device refused the position or the read
    kShortRead,      // the device ended before all bytes asked for (not a failure)
};

struct VolumeStatus {
    VolumeCause cause = VolumeCause::kOk;
    int osError = 0;  // errno or GetLastError() of the failed call; 0 when none

    bool Ok() const { return cause == VolumeCause::kOk; }
    static VolumeStatus Of(VolumeCause cause, int osError = 0) { return VolumeStatus{cause, osError}; }
};

struct VolumeRead {
    std::size_t delivered = 0;  // bytes that came from the device
    VolumeStatus status;        // kOk: all came; kShortRead: the device ended first
    // Nothing came, because of an error (not because the device ended).
    bool Failed() const {
        return delivered == 0 && !status.Ok() && status.cause != VolumeCause::kShortRead;
    }
};

// One open raw volume. Destroying it closes the device.
class RawVolume {
public:
    virtual ~RawVolume() = default;
    RawVolume() = default;
    RawVolume(const RawVolume&) = delete;
    RawVolume& operator=(const RawVolume&) = delete;

    // Sets the position of the next read, in bytes from the start of the
    // device.
    virtual VolumeStatus SetPosition(std::uint64_t byteOffset) = 0;

    // Reads `count` bytes at the current position into `buffer` and advances
    // the position. Bytes the read did not deliver (at or past the end of the
    // device, or after a failure) are zero.
    VolumeRead Read(void* buffer, std::size_t count);

    // SetPosition, then Read. A refused position reads nothing: the whole
    // buffer is zero and the position's status is the result's.
    VolumeRead ReadAt(std::uint64_t byteOffset, void* buffer, std::size_t count);

protected:
    // Delivers up to `count` bytes into `buffer`, fewer only at the end of
    // the device (status kOk) or on a failure (its status).
    virtual VolumeRead ReadSome(void* buffer, std::size_t count) = 0;
};

// The result of an open: the volume, or null and why.
struct VolumeOpen {
    std::unique_ptr<RawVolume> volume;
    VolumeStatus status;

    explicit operator bool() const { return volume != nullptr; }
    RawVolume* operator->() const { return volume.get(); }
    static VolumeOpen Failed(VolumeCause cause, int osError = 0) {
        VolumeOpen result;
        result.status = VolumeStatus::Of(cause, osError);
        return result;
    }
};

// The platform's way of opening a raw volume by its device path
// (for example "\\.\E:").
class RawVolumeSystem {
public:
    virtual ~RawVolumeSystem() = default;

    // Opens the device read-only, never blocking on a special file.
    virtual VolumeOpen Open(const char* devicePath) = 0;
};

// One complete access as the card reader makes it: open, position, read
// `count` bytes, close. The buffer is zero where nothing was delivered (all
// of it when the device does not open); the status is the first failure's.
VolumeRead ReadVolumeOnce(RawVolumeSystem& volumes, const char* devicePath, std::uint64_t byteOffset, void* buffer,
                          std::size_t count);

// The device path of a drive letter: "\\.\E:" for 'E'.
std::string DevicePathOf(char letter);

// The system of the platform the program runs on, resolving drive paths
// through the drive map it was given.
class DriveMap;
std::unique_ptr<RawVolumeSystem> MakePlatformVolumeSystem(const DriveMap& drives);

}  // namespace orvanta
