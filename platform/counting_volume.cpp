#include "platform/counting_volume.h"

namespace orvanta {
namespace {

class CountingVolume : public RawVolume {
public:
    CountingVolume(std::unique_ptr<RawVolume> inner, CountingVolumeSystem& system)
        : inner_(std::move(inner)), system_(system) {}
    ~CountingVolume() override { ++system_.counters.closes; }

    bool SetPosition(std::uint64_t byteOffset) override {
        ++system_.counters.positions;
        position_ = byteOffset;
        return inner_->SetPosition(byteOffset);
    }

    std::int64_t Read(void* buffer, std::size_t count) override {
        VolumeCounters& c = system_.counters;
        ++c.reads;
        if (count > 512) ++c.largeReads;
        if (system_.log != nullptr) system_.log->push_back({position_, count});
        const std::int64_t n = inner_->Read(buffer, count);
        if (n > 0) {
            c.bytesRead += static_cast<std::uint64_t>(n);
            position_ += static_cast<std::uint64_t>(n);
        }
        return n;
    }

private:
    std::unique_ptr<RawVolume> inner_;
    CountingVolumeSystem& system_;
    std::uint64_t position_ = 0;
};

}  // namespace

CountingVolumeSystem::CountingVolumeSystem(std::unique_ptr<RawVolumeSystem> inner) : inner_(std::move(inner)) {}

std::unique_ptr<RawVolume> CountingVolumeSystem::Open(const char* devicePath) {
    ++counters.opens;
    std::unique_ptr<RawVolume> volume = inner_->Open(devicePath);
    if (!volume) {
        ++counters.failedOpens;
        return nullptr;
    }
    return std::make_unique<CountingVolume>(std::move(volume), *this);
}

}  // namespace orvanta
