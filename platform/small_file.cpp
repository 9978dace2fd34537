#include "platform/small_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvanta {
namespace {

#ifdef _WIN32
int OpenForReading(const std::string& path) { return ::_open(path.c_str(), _O_RDONLY | _O_BINARY); }
int ReadSome(int fd, char* buffer, unsigned size) { return ::_read(fd, buffer, size); }
int CloseFile(int fd) { return ::_close(fd); }
bool IsRegular(int fd) {
    struct _stat64 info;
    return ::_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
}
#else
// Without O_NONBLOCK the open of a FIFO waits for a writer; with it the open
// returns at once and the type check refuses the FIFO.
int OpenForReading(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
long ReadSome(int fd, char* buffer, unsigned size) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}
int CloseFile(int fd) { return ::close(fd); }
bool IsRegular(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}
#endif

}  // namespace

SmallFile ReadSmallFile(const std::string& path, std::size_t limit) {
    SmallFile file;
    const int fd = OpenForReading(path);
    if (fd < 0) return file;
    if (!IsRegular(fd)) {
        CloseFile(fd);
        file.status = SmallFileStatus::kNotRegular;
        return file;
    }
    // One byte past the limit tells a file that is too large from one that
    // is exactly at it; a file that grows while it is read is caught too.
    char chunk[8192];
    file.status = SmallFileStatus::kRead;
    for (;;) {
        const auto n = ReadSome(fd, chunk, sizeof chunk);
        if (n < 0) {
            file.status = SmallFileStatus::kReadError;
            break;
        }
        if (n == 0) break;
        file.contents.append(chunk, static_cast<std::size_t>(n));
        if (file.contents.size() > limit) {
            file.status = SmallFileStatus::kTooLarge;
            break;
        }
    }
    CloseFile(fd);
    if (file.status != SmallFileStatus::kRead) file.contents.clear();
    return file;
}

std::string SmallFileProblem(const std::string& path, SmallFileStatus status, std::size_t limit) {
    switch (status) {
    case SmallFileStatus::kNotRegular:
        return path + " is not a regular file (a FIFO, a device or a directory); it is not read";
    case SmallFileStatus::kTooLarge:
        return path + " is larger than " + std::to_string(limit / 1024) + " KiB; it is not read";
    case SmallFileStatus::kReadError:
        return path + " could not be read";
    case SmallFileStatus::kRead:
    case SmallFileStatus::kMissing:
        break;
    }
    return std::string();
}

}  // namespace orvanta
