#include "card/card_summary.h"

#include "card/card_layout.h"
#include "card/held_card_volume.h"
#include "card/ring_search.h"

namespace orvanta {

CardSummary SummariseCard(const CCardReader& reader) {
    CardSummary summary;
    const std::int32_t code = reader.StartupDriveCode();
    if (code < 'A' || code > 'Z') return summary;
    summary.letter = static_cast<char>(code);

    // One open of the start-up drive's device for the whole summary, as the
    // overview reads the card; the window's reader is not touched.
    CHeldCardVolume volume(reader.Volumes(), reader.devicePath);
    unsigned char sectors[2 * kSectorSize];
    volume.ReadSectors(reader.baseSector + 1000, 2, sectors);
    if (sectors[0] != kRecordMarker || sectors[kSectorSize] != kRecordMarker) return summary;

    summary.present = true;
    volume.ReadSectors(reader.infoSector, 1, sectors);
    summary.serial = SerialAt(sectors);
    RingBounds ring;
    ring.baseSector = reader.baseSector;
    CRingSearch(volume, ring).FindRingBounds();
    summary.records = ring.ringCount;
    summary.oldestTime = volume.TimeAt(ring.LogicalToPhysical(0));
    summary.newestTime = volume.TimeAt(ring.LogicalToPhysical(ring.ringCount - 1));
    return summary;
}

}  // namespace orvanta
