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

std::string DevicePathOf(char letter) {
    std::string path = "\\\\.\\";
    path += letter;
    path += ':';
    return path;
}

class MemoryVolume : public RawVolume {
public:
    MemoryVolume(MemoryVolumeSystem& system, std::shared_ptr<MemoryDisk> disk)
        : system_(system), disk_(std::move(disk)) {}
    ~MemoryVolume() override { ++system_.counters.closes; }

    bool SetPosition(std::uint64_t byteOffset) override {
        VolumeCounters& c = system_.counters;
        const FaultPlan& f = system_.faults;
        ++c.positions;
        if (f.alwaysFailPosition || (f.failPositionAt != 0 && c.positions == f.failPositionAt)) {
            return false;
        }
        position_ = byteOffset;
        return true;
    }

    std::int64_t Read(void* buffer, std::size_t count) override {
        VolumeCounters& c = system_.counters;
        const FaultPlan& f = system_.faults;
        ++c.reads;
        if (count > 512) ++c.largeReads;
        if (f.alwaysFailRead || (f.failReadAt != 0 && c.reads == f.failReadAt)) {
            return -1;
        }
        std::uint64_t end = disk_->sizeInSectors * 512ULL;
        std::uint64_t available = position_ >= end ? 0 : end - position_;
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
        if (f.shortReadBytes >= 0 && (f.shortReadAt == 0 || c.reads == f.shortReadAt)) {
            n = std::min<std::size_t>(n, static_cast<std::size_t>(f.shortReadBytes));
        }
        auto* out = static_cast<std::uint8_t*>(buffer);
        std::size_t done = 0;
        while (done < n) {
            std::uint64_t at = position_ + done;
            std::uint32_t sector = static_cast<std::uint32_t>(at / 512);
            std::size_t within = static_cast<std::size_t>(at % 512);
            std::size_t chunk = std::min<std::size_t>(512 - within, n - done);
            auto it = disk_->sectors.find(sector);
            if (it == disk_->sectors.end()) {
                std::memset(out + done, 0, chunk);
            } else {
                std::memcpy(out + done, it->second.data() + within, chunk);
            }
            done += chunk;
        }
        position_ += n;
        c.bytesRead += n;
        return static_cast<std::int64_t>(n);
    }

private:
    MemoryVolumeSystem& system_;
    std::shared_ptr<MemoryDisk> disk_;
    std::uint64_t position_ = 0;
};

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

std::unique_ptr<RawVolume> MemoryVolumeSystem::Open(const char* devicePath) {
    ++counters.opens;
    std::string path = devicePath ? devicePath : "";
    ++opensByPath[path];
    auto it = disks_.find(path);
    if (it == disks_.end() || faults.alwaysFailOpen ||
        (faults.failOpenAt != 0 && counters.opens == faults.failOpenAt)) {
        ++counters.failedOpens;
        return nullptr;
    }
    return std::make_unique<MemoryVolume>(*this, it->second);
}

}  // namespace orvanta
