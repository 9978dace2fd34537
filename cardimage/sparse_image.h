// Sparse card images: a file of the card's full size in which only the sectors
// handed to it take space; every other sector is a hole and reads as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanta {
namespace cardimage {

// Receives one 512-byte sector of a card and its number.
using SectorSink = std::function<void(std::uint32_t sector, const std::uint8_t* bytes)>;

// Whether `size` bytes are all zeros, as a never-written sector of a card is
// (such sectors stay holes in an image).
bool AllZero(const std::uint8_t* bytes, std::size_t size);

// An image being written, in ascending sectors. Open creates (or truncates)
// the file at its full size; runs of consecutive sectors handed to Add are
// written together, a run handed to AddRun with one write of its own.
class CSparseImageWriter {
public:
    CSparseImageWriter() = default;
    ~CSparseImageWriter();  // closes the file (a written image is closed with Close)
    CSparseImageWriter(const CSparseImageWriter&) = delete;
    CSparseImageWriter& operator=(const CSparseImageWriter&) = delete;

    bool Open(const std::string& path, std::uint64_t sectors, std::string* error);
    void Add(std::uint32_t sector, const std::uint8_t* bytes);
    void AddRun(std::uint32_t first, const std::uint8_t* bytes, std::uint32_t count);
    // Writes what Add holds back; false once any write has failed.
    bool Flush();
    // Why a write failed, for people.
    std::string WriteError() const;
    // Starts the system writing what has been written so far to the disk
    // (Linux; elsewhere nothing), so that Sync has less left to wait for.
    void StartWriteback();
    // Flushes the image to the disk.
    bool Sync(std::string* error);
    // Writes what is held back and closes; false with a message on failure.
    bool Close(std::string* error);

private:
    bool WriteAt(const std::uint8_t* data, std::size_t size, std::uint64_t at);

    std::string path_;
    int fd_ = -1;
    bool ok_ = true;
    int errno_ = 0;
    std::uint32_t first_ = 0;
    std::uint32_t count_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t writtenTo_ = 0;       // the end of the last write
    std::uint64_t writebackFrom_ = 0;   // what StartWriteback has not handed over yet
};

// Creates (or truncates) `path` as an image of `sectors` sectors and calls
// `produce` once with a sink that writes sectors into it; runs of consecutive
// sectors are written together. Returns false with a message on failure.
bool WriteSparseImage(const std::string& path, std::uint64_t sectors,
                      const std::function<void(const SectorSink& emit)>& produce, std::string* error);

}  // namespace cardimage
}  // namespace orvanta
