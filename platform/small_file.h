// Reading a small text file (the configuration file, ratio.txt) whole, so
// that no file can hang or exhaust the program: only regular files are read
// (a FIFO, a device such as /dev/zero or a directory is refused without
// blocking on it), and only up to a size limit.
#pragma once

#include <cstddef>
#include <string>

namespace orvanta {

// 1 MiB: far more than any configuration or ratio file needs.
constexpr std::size_t kSmallFileLimit = 1024 * 1024;

enum class SmallFileStatus {
    kRead,        // the whole file is in *contents
    kMissing,     // there is no such file (or it cannot be opened)
    kNotRegular,  // a FIFO, a device, a directory or another special file
    kTooLarge,    // more than the limit
    kReadError,   // reading it failed
};

struct SmallFile {
    SmallFileStatus status = SmallFileStatus::kMissing;
    std::string contents;
};

// Reads the file at `path` when it is a regular file of at most `limit` bytes.
SmallFile ReadSmallFile(const std::string& path, std::size_t limit = kSmallFileLimit);

// For a status other than kRead and kMissing: why `path` is not read, in
// English, for example "/dev/zero is not a regular file (a FIFO, a device or
// a directory)". Empty for kRead and kMissing.
std::string SmallFileProblem(const std::string& path, SmallFileStatus status, std::size_t limit = kSmallFileLimit);

}  // namespace orvanta
