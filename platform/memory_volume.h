// An in-memory raw volume system for tests, fuzzing and benchmarks: serves
// sparse 512-byte sectors per device path. Counting and failing operations on
// demand is the fault-injecting wrapper's work (platform/fault_volume.h).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/raw_volume.h"

namespace orvanta {

// One simulated device: sectors not stored read as zeros; reads at or past
// `sizeInSectors` deliver nothing (as at the end of a real device).
struct MemoryDisk {
    std::uint64_t sizeInSectors = 60000001ULL;
    std::map<std::uint32_t, std::array<std::uint8_t, 512>> sectors;

    std::array<std::uint8_t, 512>& Sector(std::uint32_t number);  // created zeroed
    void Clear(std::uint32_t number) { sectors.erase(number); }
};

class MemoryVolumeSystem : public RawVolumeSystem {
public:
    // Attaches a disk under a device path such as "\\.\E:". Returns it.
    MemoryDisk& Attach(const std::string& devicePath);
    MemoryDisk& Attach(char letter);
    void Detach(const std::string& devicePath);
    MemoryDisk* Find(const std::string& devicePath);

    // A path with no disk attached opens as a drive that names nothing.
    VolumeOpen Open(const char* devicePath) override;

private:
    std::map<std::string, std::shared_ptr<MemoryDisk>> disks_;
};

}  // namespace orvanta
