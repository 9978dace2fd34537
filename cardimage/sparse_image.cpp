#include "cardimage/sparse_image.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "card/card_layout.h"

#ifdef _WIN32
// The Windows C library's descriptor calls stand in for the POSIX ones the
// image writer uses (offsets are 64-bit: the build sets _FILE_OFFSET_BITS).
// Files are written in binary mode; there is no exec to close them across.
#include <io.h>
#ifndef O_CLOEXEC
#define O_CLOEXEC O_BINARY
#endif
static ssize_t pwrite(int fd, const void* data, size_t count, off_t at) {
    if (_lseeki64(fd, at, SEEK_SET) < 0) return -1;
    return _write(fd, data, static_cast<unsigned>(count));
}
#endif

namespace orvanta {
namespace cardimage {
namespace {

// Collects runs of consecutive sectors and writes each run with one pwrite.
class SparseWriter {
public:
    explicit SparseWriter(int fd) : fd_(fd) {}

    void Add(std::uint32_t sector, const std::uint8_t* bytes) {
        if (!ok_) return;
        if (!buffer_.empty() && (sector != first_ + count_ || count_ == kRunSectors)) Flush();
        if (buffer_.empty()) first_ = sector;
        buffer_.insert(buffer_.end(), bytes, bytes + kSectorSize);
        ++count_;
    }

    bool Flush() {
        if (ok_ && !buffer_.empty()) {
            const std::uint8_t* data = buffer_.data();
            std::size_t left = buffer_.size();
            off_t at = static_cast<off_t>(first_) * kSectorSize;
            while (left > 0) {
                ssize_t n = ::pwrite(fd_, data, left, at);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) {
                    ok_ = false;
                    errno_ = n < 0 ? errno : EIO;
                    break;
                }
                data += n;
                left -= static_cast<std::size_t>(n);
                at += n;
            }
        }
        buffer_.clear();
        count_ = 0;
        return ok_;
    }

    int Errno() const { return errno_; }

private:
    static constexpr std::uint32_t kRunSectors = 2048;  // 1 MiB per write
    int fd_;
    bool ok_ = true;
    int errno_ = 0;
    std::uint32_t first_ = 0;
    std::uint32_t count_ = 0;
    std::vector<std::uint8_t> buffer_;
};

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

}  // namespace

bool WriteSparseImage(const std::string& path, std::uint64_t sectors,
                      const std::function<void(const SectorSink& emit)>& produce, std::string* error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Fail(error, "cannot create \"" + path + "\": " + std::strerror(errno));
    // The full size first: everything not written below stays a hole.
    if (::ftruncate(fd, static_cast<off_t>(sectors * kSectorSize)) != 0) {
        int e = errno;
        ::close(fd);
        return Fail(error, "cannot size \"" + path + "\" to " + std::to_string(sectors) + " sectors: " +
                               std::strerror(e));
    }
    SparseWriter writer(fd);
    produce([&](std::uint32_t sector, const std::uint8_t* bytes) { writer.Add(sector, bytes); });
    bool written = writer.Flush();
    int writeErrno = writer.Errno();
    if (::close(fd) != 0 && written) {
        writeErrno = errno;
        written = false;
    }
    if (!written) return Fail(error, "cannot write \"" + path + "\": " + std::strerror(writeErrno));
    return true;
}

}  // namespace cardimage
}  // namespace orvanta
