#include "platform/memory_volume.h"

#include <algorithm>
#include <cstring>

namespace orvanta {

std::array<std::uint8_t, 512>& MemoryDisk::Sector(std::uint32_t number) {
    auto it = sectors.find(number);
    if (it == sectors.end()) {
        std::array<std::uint8_t, 512> zero{};
        it = sectors.emplace(number, zero).first;
    }
    return it->second;
}

namespace {

class MemoryVolume : public RawVolume {
public:
    explicit MemoryVolume(std::shared_ptr<MemoryDisk> disk) : disk_(std::move(disk)) {}

    VolumeStatus SetPosition(std::uint64_t byteOffset) override {
        position_ = byteOffset;
        return VolumeStatus();
    }

protected:
    VolumeRead ReadSome(void* buffer, std::size_t count) override {
        const std::uint64_t end = disk_->sizeInSectors * 512ULL;
        const std::uint64_t available = position_ >= end ? 0 : end - position_;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
        auto* out = static_cast<std::uint8_t*>(buffer);
        std::size_t done = 0;
        while (done < n) {
            const std::uint64_t at = position_ + done;
            const auto sector = static_cast<std::uint32_t>(at / 512);
            const auto within = static_cast<std::size_t>(at % 512);
            const std::size_t chunk = std::min<std::size_t>(512 - within, n - done);
            auto it = disk_->sectors.find(sector);
            if (it == disk_->sectors.end()) {
                std::memset(out + done, 0, chunk);
            } else {
                std::memcpy(out + done, it->second.data() + within, chunk);
            }
            done += chunk;
        }
        position_ += n;
        VolumeRead result;
        result.delivered = n;
        return result;
    }

private:
    std::shared_ptr<MemoryDisk> disk_;
    std::uint64_t position_ = 0;
};

}  // namespace

MemoryDisk& MemoryVolumeSystem::Attach(const std::string& devicePath) {
    auto& slot = disks_[devicePath];
    if (!slot) slot = std::make_shared<MemoryDisk>();
    return *slot;
}

MemoryDisk& MemoryVolumeSystem::Attach(char letter) { return Attach(DevicePathOf(letter)); }

void MemoryVolumeSystem::Detach(const std::string& devicePath) { disks_.erase(devicePath); }

MemoryDisk* MemoryVolumeSystem::Find(const std::string& devicePath) {
    auto it = disks_.find(devicePath);
    return it == disks_.end() ? nullptr : it->second.get();
}

VolumeOpen MemoryVolumeSystem::Open(const char* devicePath) {
    auto it = disks_.find(devicePath ? devicePath : "");
    if (it == disks_.end()) return VolumeOpen::Failed(VolumeCause::kNotFound);
    VolumeOpen result;
    result.volume = std::make_unique<MemoryVolume>(it->second);
    return result;
}

}  // namespace orvanta
