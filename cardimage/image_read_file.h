// CImageReadFile: an image file read at positions, on Linux and Windows, for
// reading a card image back while (and after) it is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvanta {
namespace cardimage {

class CImageReadFile {
public:
    explicit CImageReadFile(const std::string& path);
    ~CImageReadFile();
    CImageReadFile(const CImageReadFile&) = delete;
    CImageReadFile& operator=(const CImageReadFile&) = delete;

    // False when the file did not open; errno then says why.
    bool Opened() const { return fd_ >= 0; }

    // Exactly `size` bytes at `at`; false at an error or the end of the file.
    bool ReadAt(std::uint8_t* into, std::size_t size, std::uint64_t at);

    // The first byte at or after `from` (below `end`) that the file system
    // does not report as a hole; `end` when there is none. Where holes cannot
    // be asked for, `from`: everything is read.
    std::uint64_t NextData(std::uint64_t from, std::uint64_t end);

    // The file's size in bytes; -1 when it cannot be told.
    std::int64_t Size() const;

    // Closes the file now (before it is renamed or removed).
    void Close();

private:
    int fd_ = -1;
};

}  // namespace cardimage
}  // namespace orvanta
