// The volumes of the removable media as they are now: the drive map is found
// again (DriveMap::DetectRemovable) whenever the window searches for the card
// anew, so that a card reader plugged in after start gets its letter. Opens
// resolve through the map of the last detection; they may come from other
// threads (the overview's scan) while the user-interface thread detects.
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {

class CRedetectingVolumes : public RawVolumeSystem {
public:
    using Detector = std::function<DriveMap()>;

    // Detects once now.
    explicit CRedetectingVolumes(Detector detect = [] { return DriveMap::DetectRemovable(); });

    VolumeOpen Open(const char* devicePath) override;

    // Finds the removable media again.
    void Redetect();

    // The map of the last detection. Its address stays the same; it changes
    // only in Redetect, on the thread that calls that.
    const DriveMap& Map() const { return map_; }

private:
    Detector detect_;
    std::mutex mutex_;
    DriveMap map_;
    std::unique_ptr<RawVolumeSystem> volumes_;
};

}  // namespace orvanta
