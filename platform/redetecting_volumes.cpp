#include "platform/redetecting_volumes.h"

#include <utility>

namespace orvanta {

CRedetectingVolumes::CRedetectingVolumes(Detector detect) : detect_(std::move(detect)) { Redetect(); }

VolumeOpen CRedetectingVolumes::Open(const char* devicePath) {
    const std::lock_guard<std::mutex> lock(mutex_);
    return volumes_->Open(devicePath);
}

void CRedetectingVolumes::Redetect() {
    DriveMap found = detect_();
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(found);
    const std::lock_guard<std::mutex> lock(mutex_);
    map_ = std::move(found);
    volumes_ = std::move(volumes);
}

}  // namespace orvanta
