#include "cardimage/image_read_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvanta {
namespace cardimage {

CImageReadFile::CImageReadFile(const std::string& path) {
#ifdef _WIN32
    fd_ = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
}

CImageReadFile::~CImageReadFile() { Close(); }

void CImageReadFile::Close() {
    if (fd_ < 0) return;
#ifdef _WIN32
    ::_close(fd_);
#else
    ::close(fd_);
#endif
    fd_ = -1;
}

bool CImageReadFile::ReadAt(std::uint8_t* into, std::size_t size, std::uint64_t at) {
    while (size > 0) {
#ifdef _WIN32
        if (::_lseeki64(fd_, static_cast<__int64>(at), SEEK_SET) < 0) return false;
        const int n = ::_read(fd_, into, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
#else
        const ssize_t n = ::pread(fd_, into, size, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n <= 0) return false;
        into += n;
        size -= static_cast<std::size_t>(n);
        at += static_cast<std::uint64_t>(n);
    }
    return true;
}

std::int64_t CImageReadFile::Size() const {
#ifdef _WIN32
    return ::_filelengthi64(fd_);
#else
    struct stat info {};
    return ::fstat(fd_, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
#endif
}

std::uint64_t CImageReadFile::NextData(std::uint64_t from, std::uint64_t end) {
#if defined(SEEK_DATA) && !defined(_WIN32)
    const off_t data = ::lseek(fd_, static_cast<off_t>(from), SEEK_DATA);
    if (data < 0) return errno == ENXIO ? end : from;  // ENXIO: only holes follow
    return std::min<std::uint64_t>(static_cast<std::uint64_t>(data), end);
#else
    (void)end;
    return from;
#endif
}

}  // namespace cardimage
}  // namespace orvanta
