#include "card/held_card_volume.h"

#include <cstddef>
#include <cstring>

#include "card/card_layout.h"

namespace orvanta {

CHeldCardVolume::CHeldCardVolume(RawVolumeSystem& volumes, const char* devicePath)
    : volume_(volumes.Open(devicePath).volume) {}

bool CHeldCardVolume::ReadSectors(std::uint32_t first, std::uint32_t count, unsigned char* buffer) {
    const std::size_t bytes = static_cast<std::size_t>(count) * kSectorSize;
    if (!volume_) {
        std::memset(buffer, 0, bytes);
        return false;
    }
    ++readRequests_;
    sectorReads_ += count;
    // Reading at or past the end of the device delivers nothing, which is
    // not a failure: those sectors read as zeros.
    const bool done = !volume_->ReadAt(static_cast<std::uint64_t>(first) * kSectorSize, buffer, bytes).Failed();
    failuresInRow_ = done ? 0 : failuresInRow_ + 1;
    return done;
}

void CHeldCardVolume::ReadSectorsSalvaging(std::uint32_t first, std::uint32_t count, unsigned char* buffer) {
    if (ReadSectors(first, count, buffer) || count < 2) return;
    for (std::uint32_t i = 0; i < count && !Gone(); ++i) {
        ReadSectors(first + i, 1, buffer + static_cast<std::size_t>(i) * kSectorSize);
    }
}

std::int32_t CHeldCardVolume::TimeAt(std::uint32_t sector) {
    const auto known = times_.find(sector);
    if (known != times_.end()) return known->second;
    unsigned char bytes[kSectorSize];
    ReadSectors(sector, 1, bytes);
    const std::int32_t time = decoder_.Decode(bytes);
    times_.emplace(sector, time);
    return time;
}

}  // namespace orvanta
