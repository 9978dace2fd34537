#include "card/card_summary.h"

#include <string>

namespace orvanta {
namespace {

// Lets through only the one device path, so that a reader made on it finds
// that card at once and touches nothing else.
class SingleDeviceSystem : public RawVolumeSystem {
public:
    SingleDeviceSystem(RawVolumeSystem& inner, const char* devicePath) : inner_(inner), devicePath_(devicePath) {}
    std::unique_ptr<RawVolume> Open(const char* devicePath) override {
        if (devicePath == nullptr || devicePath_ != devicePath) return nullptr;
        return inner_.Open(devicePath);
    }

private:
    RawVolumeSystem& inner_;
    std::string devicePath_;
};

}  // namespace

CardSummary SummariseCard(const CCardReader& reader) {
    CardSummary summary;
    const std::int32_t code = reader.StartupDriveCode();
    if (code < 'A' || code > 'Z') return summary;
    summary.letter = static_cast<char>(code);

    // The device path stays that of the start-up drive for the reader's life.
    SingleDeviceSystem only(reader.Volumes(), reader.devicePath);
    CCardReader scratch(only);  // its drive search finds that card or nothing
    if (scratch.driveCode != code || scratch.CheckCardPresent() != 1) return summary;

    summary.present = true;
    scratch.ReadDeviceRecord();
    summary.serial = static_cast<std::uint32_t>(scratch.deviceSerial);
    scratch.FindRingBounds();
    summary.records = scratch.ringCount;
    summary.oldestTime = scratch.ReadSector(scratch.LogicalToPhysical(0));
    summary.newestTime = scratch.ReadSector(scratch.LogicalToPhysical(scratch.ringCount - 1));
    return summary;
}

}  // namespace orvanta
