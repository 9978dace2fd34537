#include "dialogcore/record_step.h"

namespace orvanta {

namespace {

// Records of one second rarely number more than a few; the walk over them is
// bounded, as every search over the card is.
constexpr int kMostRecordsWalked = 256;

}  // namespace

std::int32_t NeighbourRecordTime(CCardReader& reader, int direction) {
    const std::int32_t shown = reader.actualTime;
    if (shown <= 0 || direction == 0 || reader.ringCount == 0) return 0;
    std::uint32_t index = reader.PhysicalToLogical(reader.currentSector);
    for (int step = 0; step < kMostRecordsWalked; ++step) {
        if (direction > 0) {
            if (index + 1 >= reader.ringCount) return 0;
            ++index;
        } else {
            if (index == 0) return 0;
            --index;
        }
        const std::int32_t time = reader.ReadSector(reader.LogicalToPhysical(index));
        if (time <= 0) return 0;  // behind the newest record, or unreadable
        if (direction > 0 ? time > shown : time < shown) return time;
    }
    return 0;
}

}  // namespace orvanta
