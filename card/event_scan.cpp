#include "card/event_scan.h"

#include <algorithm>

#include "card/card_layout.h"
#include "card/held_card_volume.h"
#include "card/timestamp_decoder.h"
#include "card/trend_point.h"

namespace orvanta {

CEventScan::CEventScan(const CCardReader& reader)
    : source_(reader) {}

EventScanResult CEventScan::Scan(const EventScanRequest& request) const {
    EventScanResult result;
    CHeldCardVolume volume(*source_.volumes, source_.devicePath.c_str());
    CEventDetector detector(request.nominalVolts);
    auto finish = [&](OverviewStatus status, const std::string& message) {
        detector.Finish();
        result.events = detector.Events();
        EndScan(volume, status, message, &result);
        return result;
    };
    if (!volume.IsOpen()) return finish(OverviewStatus::kNoDevice, DeviceNotOpenMessage(source_));
    const RingRange located = LocateRange(volume, source_.baseSector, request.range);
    OverviewStatus ended = OverviewStatus::kDone;
    std::string why;
    if (RangeEndsScan(located.outcome, &ended, &why)) return finish(ended, why);

    // Ring order, oldest first: each read is a run of physical sectors that
    // stops at the ring's last sector, where the ring continues at its base.
    const RingBounds& ring = located.ring;
    result.sectors = std::uint64_t{located.last} - located.first + 1;
    const CTrendPointCalculator points(source_.zeroLevelB, source_.ratioA, source_.ratioB);
    CTimestampDecoder decoder;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(kSectorsPerRead) * kSectorSize);
    std::uint64_t done = 0;
    while (done < result.sectors) {
        if (cancel_ && cancel_()) return finish(OverviewStatus::kCancelled, "cancelled");
        const std::uint32_t sector = ring.LogicalToPhysical(static_cast<std::uint32_t>(located.first + done));
        const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            {kSectorsPerRead, result.sectors - done, std::uint64_t{ring.upperSector} - sector + 1}));
        volume.ReadSectorsSalvaging(sector, count, buffer.data());
        if (volume.Gone()) {
            return finish(OverviewStatus::kCardGone,
                          "the card stopped answering during the scan; the events are those of what was read before");
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* bytes = buffer.data() + static_cast<std::size_t>(i) * kSectorSize;
            const std::int32_t time = decoder.Decode(bytes);
            TrendPoint point;
            // A sector without a valid date is no record; a record without a
            // channel B point does not take part.
            if (time <= 0 || !points.PointOf(bytes, &point)) continue;
            detector.Add(time, point.valueB);
            ++result.records;
        }
        done += count;
        if (progress_) progress_(done, result.sectors);
    }
    return finish(OverviewStatus::kDone, "");
}

}  // namespace orvanta
