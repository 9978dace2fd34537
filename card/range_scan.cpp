#include "card/range_scan.h"

#include <algorithm>
#include <vector>

#include "card/card_layout.h"
#include "card/card_overview.h"
#include "card/held_card_volume.h"
#include "card/timestamp_decoder.h"

namespace orvanta {

RangeScanResult CRangeScan::Scan(const TimeRange& range, const RecordSink& sink, const std::string& goneMessage) const {
    RangeScanResult result;
    CHeldCardVolume volume(*source_.volumes, source_.devicePath.c_str());
    auto finish = [&](OverviewStatus status, const std::string& message) {
        EndScan(volume, status, message, &result);
        return result;
    };
    if (!volume.IsOpen()) return finish(OverviewStatus::kNoDevice, DeviceNotOpenMessage(source_));
    const RingRange located = LocateRange(volume, source_.baseSector, range);
    OverviewStatus ended = OverviewStatus::kDone;
    std::string why;
    if (RangeEndsScan(located.outcome, &ended, &why)) return finish(ended, why);

    const RingBounds& ring = located.ring;
    result.sectors = std::uint64_t{located.last} - located.first + 1;
    CTimestampDecoder decoder;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(kSectorsPerRead) * kSectorSize);
    std::uint64_t done = 0;
    while (done < result.sectors) {
        if (cancel_ && cancel_()) return finish(OverviewStatus::kCancelled, "cancelled");
        const std::uint32_t sector = ring.LogicalToPhysical(static_cast<std::uint32_t>(located.first + done));
        const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            {kSectorsPerRead, result.sectors - done, std::uint64_t{ring.upperSector} - sector + 1}));
        volume.ReadSectorsSalvaging(sector, count, buffer.data());
        if (volume.Gone()) return finish(OverviewStatus::kCardGone, goneMessage);
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* bytes = buffer.data() + static_cast<std::size_t>(i) * kSectorSize;
            const std::int32_t time = decoder.Decode(bytes);
            // A sector without a valid date is no record.
            if (time > 0) sink(sector + i, time, bytes);
        }
        done += count;
        if (progress_) progress_(done, result.sectors);
    }
    return finish(OverviewStatus::kDone, "");
}

}  // namespace orvanta
