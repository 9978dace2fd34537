// A raw volume system that hands out the volumes of another one and counts
// what is done with them; when asked, it also logs where each read started and
// how much it asked for. The benchmarks measure the card's read pattern with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/raw_volume.h"
#include "platform/volume_counters.h"

namespace orvanta {

struct VolumeReadEntry {
    std::uint64_t offset;  // byte offset the read started at
    std::size_t count;     // bytes asked for
};

class CountingVolumeSystem : public RawVolumeSystem {
public:
    explicit CountingVolumeSystem(std::unique_ptr<RawVolumeSystem> inner);

    std::unique_ptr<RawVolume> Open(const char* devicePath) override;

    VolumeCounters counters;
    // Every read is appended here while it is set.
    std::vector<VolumeReadEntry>* log = nullptr;

private:
    std::unique_ptr<RawVolumeSystem> inner_;
};

}  // namespace orvanta
