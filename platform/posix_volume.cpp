// POSIX raw volumes: open(O_RDONLY | O_CLOEXEC) and pread, so byte offsets of
// 2^31 and more work on any device or image file.
//
// Only a block device or a regular file (a card image) is a card device. The
// open does not block and the type of the open descriptor is checked, so a
// FIFO, a terminal or another special file mapped to a drive is refused at
// once instead of hanging the drive search.
//
// The card is opened for every sector read, and the type check would be one
// system call in four of each read; it is made on the first open of each
// drive and again after a drive failed to open (a card pulled and put back).
// Should the path meanwhile name something else, nothing blocks all the same:
// the open does not wait, and a positioned read of a FIFO or a terminal fails
// (ESPIPE), of a directory too (EISDIR), both as "not a card device".
#ifndef _WIN32

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace {

VolumeCause CauseOfErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
        return VolumeCause::kNotFound;
    case EACCES:
    case EPERM:
        return VolumeCause::kNoPermission;
    case EISDIR:
    case ESPIPE:
        return VolumeCause::kNotCardDevice;
    default:
        return VolumeCause::kIoError;
    }
}

bool IsCardDeviceType(mode_t mode) { return S_ISBLK(mode) || S_ISREG(mode); }

class PosixVolume : public RawVolume {
public:
    explicit PosixVolume(int fd) : fd_(fd) {}
    ~PosixVolume() override { ::close(fd_); }

    VolumeStatus SetPosition(std::uint64_t byteOffset) override {
        if (byteOffset > static_cast<std::uint64_t>(INT64_MAX)) return VolumeStatus::Of(VolumeCause::kIoError, EINVAL);
        position_ = static_cast<off_t>(byteOffset);
        return VolumeStatus();
    }

protected:
    // Reads until `count` bytes have come, the device ends, or it fails.
    VolumeRead ReadSome(void* buffer, std::size_t count) override {
        auto* out = static_cast<char*>(buffer);
        VolumeRead result;
        while (result.delivered < count) {
            const ssize_t n = ::pread(fd_, out + result.delivered, count - result.delivered,
                                      position_ + static_cast<off_t>(result.delivered));
            if (n < 0) {
                if (errno == EINTR) continue;
                // It opened, so the device exists: what cannot be read at a
                // position is no card device, whatever else went wrong is I/O.
                const int error = errno;
                const VolumeCause cause = error == ESPIPE || error == EISDIR ? VolumeCause::kNotCardDevice
                                                                             : VolumeCause::kIoError;
                result.status = VolumeStatus::Of(cause, error);
                break;
            }
            if (n == 0) break;
            result.delivered += static_cast<std::size_t>(n);
        }
        position_ += static_cast<off_t>(result.delivered);
        return result;
    }

private:
    int fd_;
    off_t position_ = 0;
};

class PosixVolumeSystem : public RawVolumeSystem {
public:
    explicit PosixVolumeSystem(const DriveMap& drives) : drives_(drives) {}

    VolumeOpen Open(const char* devicePath) override {
        const std::string* path = drives_.Resolve(devicePath);
        if (path == nullptr || path->empty()) return VolumeOpen::Failed(VolumeCause::kNotFound);
        // Resolve took a drive letter A to Z at [4].
        std::atomic<bool>& typeChecked = typeChecked_[devicePath[4] - 'A'];
        // Without blocking, so that a FIFO (no writer) or a terminal opens at
        // once; on a block device or a regular file the flag changes nothing.
        int fd;
        do {
            fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            const int error = errno;
            typeChecked.store(false, std::memory_order_relaxed);
            return VolumeOpen::Failed(CauseOfErrno(error), error);
        }
        if (!typeChecked.load(std::memory_order_relaxed)) {
            // The type of what was opened, not of what the path named a moment before.
            struct stat info {};
            if (::fstat(fd, &info) != 0 || !IsCardDeviceType(info.st_mode)) {
                ::close(fd);
                return VolumeOpen::Failed(VolumeCause::kNotCardDevice);
            }
            typeChecked.store(true, std::memory_order_relaxed);
        }
        VolumeOpen result;
        result.volume = std::make_unique<PosixVolume>(fd);
        return result;
    }

private:
    DriveMap drives_;
    // Per drive letter A to Z: the type of what its path opened was checked,
    // and it has opened every time since.
    std::atomic<bool> typeChecked_[26] = {};
};

}  // namespace

std::unique_ptr<RawVolumeSystem> MakePlatformVolumeSystem(const DriveMap& drives) {
    return std::make_unique<PosixVolumeSystem>(drives);
}

}  // namespace orvanta

#endif  // !_WIN32
