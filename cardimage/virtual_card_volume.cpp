#include "cardimage/virtual_card_volume.h"

#include <algorithm>
#include <cstring>

#include "card/card_layout.h"

namespace orvanta {
namespace cardimage {
namespace {

// Reads deliver the card's bytes up to its end, like an image file of the
// card's size: nothing at or past the end.
class VirtualCardVolume : public RawVolume {
public:
    explicit VirtualCardVolume(const VirtualCard& card) : card_(card) {}

    VolumeStatus SetPosition(std::uint64_t byteOffset) override {
        position_ = byteOffset;
        return VolumeStatus();
    }

protected:
    VolumeRead ReadSome(void* buffer, std::size_t count) override {
        const std::uint64_t end = card_.Sectors() * kSectorSize;
        const std::uint64_t available = position_ >= end ? 0 : end - position_;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
        auto* out = static_cast<std::uint8_t*>(buffer);
        std::uint8_t sector[kSectorSize];
        for (std::size_t done = 0; done < n;) {
            const std::uint64_t at = position_ + done;
            const std::size_t within = static_cast<std::size_t>(at % kSectorSize);
            const std::size_t chunk = std::min<std::size_t>(kSectorSize - within, n - done);
            card_.SectorAt(at / kSectorSize, sector);
            std::memcpy(out + done, sector + within, chunk);
            done += chunk;
        }
        position_ += n;
        VolumeRead result;
        result.delivered = n;
        return result;
    }

private:
    const VirtualCard& card_;
    std::uint64_t position_ = 0;
};

}  // namespace

VirtualCardVolumeSystem::VirtualCardVolumeSystem(const VirtualCard& card, std::string devicePath)
    : card_(card), devicePath_(std::move(devicePath)) {}

VolumeOpen VirtualCardVolumeSystem::Open(const char* devicePath) {
    if (devicePath == nullptr || devicePath_ != devicePath) return VolumeOpen::Failed(VolumeCause::kNotFound);
    VolumeOpen result;
    result.volume = std::make_unique<VirtualCardVolume>(card_);
    return result;
}

}  // namespace cardimage
}  // namespace orvanta
