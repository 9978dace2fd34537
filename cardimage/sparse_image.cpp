#include "cardimage/sparse_image.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
static int fsync(int fd) { return _commit(fd); }
#endif

namespace orvanta {
namespace cardimage {
namespace {

constexpr std::uint32_t kRunSectors = 2048;          // 1 MiB per write
constexpr std::uint64_t kWritebackBytes = 8u << 20;  // handed to the disk 8 MiB at a time

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

}  // namespace

bool AllZero(const std::uint8_t* bytes, std::size_t size) {
    // Eight bytes at a time (the compiler turns the loop into vector code).
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        any |= word;
    }
    for (; i < size; ++i) any |= bytes[i];
    return any == 0;
}

CSparseImageWriter::~CSparseImageWriter() {
    if (fd_ >= 0) ::close(fd_);
}

bool CSparseImageWriter::Open(const std::string& path, std::uint64_t sectors, std::string* error) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return Fail(error, "cannot create \"" + path + "\": " + std::strerror(errno));
    // The full size first: everything not written stays a hole.
    if (::ftruncate(fd_, static_cast<off_t>(sectors * kSectorSize)) != 0) {
        const int e = errno;
        ::close(fd_);
        fd_ = -1;
        return Fail(error, "cannot size \"" + path + "\" to " + std::to_string(sectors) + " sectors: " +
                               std::strerror(e));
    }
    return true;
}

bool CSparseImageWriter::WriteAt(const std::uint8_t* data, std::size_t size, std::uint64_t at) {
    writtenTo_ = at + size;
    while (ok_ && size > 0) {
        const ssize_t n = ::pwrite(fd_, data, size, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok_ = false;
            errno_ = n < 0 ? errno : EIO;
            break;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        at += static_cast<std::uint64_t>(n);
    }
    return ok_;
}

void CSparseImageWriter::Add(std::uint32_t sector, const std::uint8_t* bytes) {
    if (!ok_) return;
    if (count_ > 0 && (sector != first_ + count_ || count_ == kRunSectors)) Flush();
    if (count_ == 0) {
        first_ = sector;
        buffer_.clear();
    }
    buffer_.insert(buffer_.end(), bytes, bytes + kSectorSize);
    ++count_;
}

void CSparseImageWriter::AddRun(std::uint32_t first, const std::uint8_t* bytes, std::uint32_t count) {
    if (!Flush() || count == 0) return;
    WriteAt(bytes, static_cast<std::size_t>(count) * kSectorSize, std::uint64_t{first} * kSectorSize);
}

bool CSparseImageWriter::Flush() {
    if (ok_ && count_ > 0) WriteAt(buffer_.data(), buffer_.size(), std::uint64_t{first_} * kSectorSize);
    count_ = 0;
    return ok_;
}

std::string CSparseImageWriter::WriteError() const {
    return "cannot write \"" + path_ + "\": " + std::strerror(errno_);
}

void CSparseImageWriter::StartWriteback() {
#ifdef __linux__
    // Without it the system starts writing only when the image is synced, and
    // the copy and the disk's work follow one another instead of overlapping.
    if (fd_ >= 0 && writtenTo_ >= writebackFrom_ + kWritebackBytes) {
        ::sync_file_range(fd_, static_cast<off_t>(writebackFrom_), static_cast<off_t>(writtenTo_ - writebackFrom_),
                          SYNC_FILE_RANGE_WRITE);
        writebackFrom_ = writtenTo_;
    }
#endif
}

bool CSparseImageWriter::Sync(std::string* error) {
    if (!Flush()) return Fail(error, WriteError());
    if (::fsync(fd_) != 0) return Fail(error, "cannot flush \"" + path_ + "\" to the disk: " + std::strerror(errno));
    return true;
}

bool CSparseImageWriter::Close(std::string* error) {
    if (fd_ < 0) return ok_ || Fail(error, WriteError());
    const bool written = Flush();
    const bool closed = ::close(fd_) == 0;
    if (written && !closed) {
        ok_ = false;
        errno_ = errno;
    }
    fd_ = -1;
    return ok_ || Fail(error, WriteError());
}

bool WriteSparseImage(const std::string& path, std::uint64_t sectors,
                      const std::function<void(const SectorSink& emit)>& produce, std::string* error) {
    CSparseImageWriter writer;
    if (!writer.Open(path, sectors, error)) return false;
    produce([&](std::uint32_t sector, const std::uint8_t* bytes) { writer.Add(sector, bytes); });
    return writer.Close(error);
}

}  // namespace cardimage
}  // namespace orvanta
