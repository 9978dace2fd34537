// CImageFollower: the SHA-256 of an image file as it reads back, computed on a
// thread of its own while the image is still being written, so that hashing
// the image overlaps copying it and flushing it to the disk.
//
// The writer writes in ascending order and says how far the file is complete
// (Written). The follower reads up to there and hashes what it reads. Inside
// the copied ranges it reads every byte. Outside them the image holds the
// holes it was created with: the follower hashes the holes the file system
// reports as zeros without reading them, and reads anything else there, which
// must be zeros. A follower that finds otherwise, or cannot read, fails.
//
//   CImageFollower follower(path, imageBytes, copiedRanges);   // file created
//   ... write, then follower.Written(end of what is complete) ...
//   CImageFollower::Outcome outcome = follower.Finish();        // all written
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanta {
namespace cardimage {

struct ByteRange {
    std::uint64_t first;
    std::uint64_t end;  // one past the last byte
};

class CImageFollower {
public:
    struct Outcome {
        bool ok = false;
        bool differs = false;  // not ok: it read, and found data outside the copied ranges
        std::string sha256;    // 64 lower-case hexadecimal digits (ok)
        std::string error;     // why not (not ok)
    };

    // `copied`: ascending ranges without overlaps.
    CImageFollower(std::string path, std::uint64_t imageBytes, std::vector<ByteRange> copied);
    ~CImageFollower();  // abandons the image
    CImageFollower(const CImageFollower&) = delete;
    CImageFollower& operator=(const CImageFollower&) = delete;

    // Everything below `upTo` is written and stays as it is.
    void Written(std::uint64_t upTo);
    // The whole image is written: waits for the follower to finish it.
    Outcome Finish();
    // Stops following (the image is given up); the thread has ended on return.
    void Abandon();

private:
    void Follow();
    // Waits until more is written than `done`; the limit, or 0 when abandoned.
    std::uint64_t WaitBeyond(std::uint64_t done);

    const std::string path_;
    const std::uint64_t imageBytes_;
    const std::vector<ByteRange> copied_;
    std::mutex lock_;
    std::condition_variable more_;
    std::uint64_t written_ = 0;
    bool abandoned_ = false;
    Outcome outcome_;
    std::thread thread_;
};

}  // namespace cardimage
}  // namespace orvanta
