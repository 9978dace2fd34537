// POSIX raw volumes: open(O_RDONLY | O_CLOEXEC) and pread, so byte offsets of
// 2^31 and more work on any device or image file.
#ifndef _WIN32

#include <cerrno>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace {

class PosixVolume : public RawVolume {
public:
    explicit PosixVolume(int fd) : fd_(fd) {}
    ~PosixVolume() override { ::close(fd_); }

    bool SetPosition(std::uint64_t byteOffset) override {
        if (byteOffset > static_cast<std::uint64_t>(INT64_MAX)) return false;
        position_ = static_cast<off_t>(byteOffset);
        return true;
    }

    // Reads until `count` bytes have come, the device ends, or it fails.
    std::int64_t Read(void* buffer, std::size_t count) override {
        auto* out = static_cast<char*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            ssize_t n = ::pread(fd_, out + done, count - done, position_ + static_cast<off_t>(done));
            if (n < 0) {
                if (errno == EINTR) continue;
                if (done == 0) return -1;
                break;
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        position_ += static_cast<off_t>(done);
        return static_cast<std::int64_t>(done);
    }

private:
    int fd_;
    off_t position_ = 0;
};

class PosixVolumeSystem : public RawVolumeSystem {
public:
    explicit PosixVolumeSystem(const DriveMap& drives) : drives_(drives) {}

    std::unique_ptr<RawVolume> Open(const char* devicePath) override {
        std::string path = drives_.Resolve(devicePath);
        if (path.empty()) return nullptr;
        int fd;
        do {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return nullptr;
        return std::make_unique<PosixVolume>(fd);
    }

private:
    DriveMap drives_;
};

}  // namespace

std::unique_ptr<RawVolumeSystem> MakePlatformVolumeSystem(const DriveMap& drives) {
    return std::make_unique<PosixVolumeSystem>(drives);
}

}  // namespace orvanta

#endif  // !_WIN32
