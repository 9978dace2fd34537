// An in-memory raw volume system for tests, fuzzing and benchmarks: serves
// sparse 512-byte sectors per device path, counts every operation, and fails an
// open, a positioning or a read on demand (the k-th one, or all of them).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/raw_volume.h"
#include "platform/volume_counters.h"

namespace orvanta {

// One simulated device: sectors not stored read as zeros; reads at or past
// `sizeInSectors` deliver nothing (as at the end of a real device).
struct MemoryDisk {
    std::uint64_t sizeInSectors = 60000001ULL;
    std::map<std::uint32_t, std::array<std::uint8_t, 512>> sectors;

    std::array<std::uint8_t, 512>& Sector(std::uint32_t number);  // created zeroed
    void Clear(std::uint32_t number) { sectors.erase(number); }
};

// Fault plan: a value k > 0 fails the k-th operation of that kind counted from
// the last Reset(); `always...` fails every one. `shortReadBytes` >= 0 makes the
// `shortReadAt`-th read (or every read when shortReadAt is 0) deliver at most that
// many bytes.
struct FaultPlan {
    std::uint64_t failOpenAt = 0;
    std::uint64_t failPositionAt = 0;
    std::uint64_t failReadAt = 0;
    bool alwaysFailOpen = false;      // the device has vanished
    bool alwaysFailPosition = false;
    bool alwaysFailRead = false;
    std::uint64_t shortReadAt = 0;
    long long shortReadBytes = -1;
};

class MemoryVolumeSystem : public RawVolumeSystem {
public:
    // Attaches a disk under a device path such as "\\.\E:". Returns it.
    MemoryDisk& Attach(const std::string& devicePath);
    MemoryDisk& Attach(char letter);
    void Detach(const std::string& devicePath);
    MemoryDisk* Find(const std::string& devicePath);

    std::unique_ptr<RawVolume> Open(const char* devicePath) override;

    VolumeCounters counters;
    FaultPlan faults;
    // Counts of opens per device path, failed ones included.
    std::map<std::string, std::uint64_t> opensByPath;

    void ResetCounters() { counters = VolumeCounters(); opensByPath.clear(); }

private:
    friend class MemoryVolume;
    std::map<std::string, std::shared_ptr<MemoryDisk>> disks_;
};

// "\\.\E:" for 'E'.
std::string DevicePathOf(char letter);

}  // namespace orvanta
