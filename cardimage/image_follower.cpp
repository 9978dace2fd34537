#include "cardimage/image_follower.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "cardimage/image_read_file.h"
#include "cardimage/sha256.h"
#include "cardimage/sparse_image.h"

namespace orvanta {
namespace cardimage {
namespace {

constexpr std::size_t kBlockBytes = 1 << 20;

}  // namespace

CImageFollower::CImageFollower(std::string path, std::uint64_t imageBytes, std::vector<ByteRange> copied)
    : path_(std::move(path)), imageBytes_(imageBytes), copied_(std::move(copied)) {
    thread_ = std::thread([this] { Follow(); });
}

CImageFollower::~CImageFollower() { Abandon(); }

void CImageFollower::Written(std::uint64_t upTo) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        written_ = std::max(written_, upTo);
    }
    more_.notify_one();
}

CImageFollower::Outcome CImageFollower::Finish() {
    Written(imageBytes_);
    if (thread_.joinable()) thread_.join();
    return outcome_;
}

void CImageFollower::Abandon() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        abandoned_ = true;
    }
    more_.notify_one();
    if (thread_.joinable()) thread_.join();
}

std::uint64_t CImageFollower::WaitBeyond(std::uint64_t done) {
    std::unique_lock<std::mutex> guard(lock_);
    more_.wait(guard, [&] { return abandoned_ || written_ > done; });
    return abandoned_ ? 0 : std::min(written_, imageBytes_);
}

void CImageFollower::Follow() {
    CImageReadFile file(path_);
    if (!file.Opened()) {
        outcome_.error = "cannot read back \"" + path_ + "\": " + std::strerror(errno);
        return;
    }
    CSha256 sha;
    std::vector<std::uint8_t> block(kBlockBytes);
    std::size_t next = 0;  // the first copied range not wholly behind `at`
    for (std::uint64_t at = 0; at < imageBytes_;) {
        const std::uint64_t limit = WaitBeyond(at);
        if (limit == 0) return;  // abandoned
        while (at < limit) {
            while (next < copied_.size() && copied_[next].end <= at) ++next;
            const bool inside = next < copied_.size() && copied_[next].first <= at;
            const std::uint64_t partEnd =
                std::min(limit, inside ? copied_[next].end : next < copied_.size() ? copied_[next].first : imageBytes_);
            if (!inside) {
                const std::uint64_t data = file.NextData(at, partEnd);
                sha.UpdateZeros(data - at);
                at = data;
                if (at == partEnd) continue;
            }
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, partEnd - at));
            if (!file.ReadAt(block.data(), size, at)) {
                outcome_.error = "cannot read back \"" + path_ + "\" at byte " + std::to_string(at);
                return;
            }
            if (!inside && !AllZero(block.data(), size)) {
                outcome_.differs = true;
                outcome_.error = "\"" + path_ + "\" holds data at byte " + std::to_string(at) +
                                 ", outside what was copied from the card";
                return;
            }
            sha.Update(block.data(), size);
            at += size;
        }
    }
    // The file system answers for what lies past the end of a file as for a
    // hole, so a file cut short (or grown) is told by its size.
    const std::int64_t size = file.Size();
    if (size < 0 || static_cast<std::uint64_t>(size) != imageBytes_) {
        outcome_.error = "\"" + path_ + "\" is " + std::to_string(size) + " bytes long, not " +
                         std::to_string(imageBytes_);
        return;
    }
    outcome_.sha256 = sha.HexDigest();
    outcome_.ok = true;
}

}  // namespace cardimage
}  // namespace orvanta
