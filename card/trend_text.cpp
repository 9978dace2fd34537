// The RMS trend text: from the selected record on, up to 1000 consecutive
// sectors are fetched in one read request; every valid record among them gives
// one point of scaled RMS values of its two channels, and the text is padded
// with single zeros to a fixed minimum count.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "card/bounded_text.h"
#include "card/card_layout.h"
#include "card/card_reader.h"
#include "card/record_rms.h"
#include "card/timestamp_decoder.h"
#include "card/trend_point.h"
#include "platform/raw_volume.h"

namespace orvanta {

namespace {

constexpr std::uint32_t kSectorsPerRead = 1000;
constexpr int kFillTarget = 1000;

}  // namespace

void CCardReader::BuildTrendText() {
    VolumeOpen device = Volumes().Open(devicePath);
    if (!device) {
        std::fputs("\nThe disk is not allowed to visit!\n", stdout);
        std::fflush(stdout);
    }

    // One request for all 1000 sectors. Only its success counts: sectors a
    // short read did not reach read as zeros and fail the marker test. A
    // refused positioning counts as a failed read, and nothing is read then.
    // The buffer is not cleared first: the read fills all of it, with zeros
    // where the device delivered nothing, and without a read it is not used.
    constexpr std::size_t kBytes = static_cast<std::size_t>(kSectorsPerRead) * kSectorSize;
    const std::unique_ptr<unsigned char[]> sectors(new unsigned char[kBytes]);
    const std::uint64_t offset = static_cast<std::uint64_t>(currentSector) * kSectorSize;
    const bool readDone = device && !device->ReadAt(offset, sectors.get(), kBytes).Failed();

    BoundedText text(trendText, sizeof trendText);
    text.AppendPair(0, 0);  // the first point of every trend
    int count = 1;
    trendRecords.clear();

    const std::uint32_t currentLogical = PhysicalToLogical(currentSector);
    const CTrendPointCalculator points(offsetB, ratioA, ratioB);
    const CRecordRmsCalculator rmsOf(offsetA, offsetB, ratioA, ratioB);
    CTimestampDecoder timestamps;
    for (std::uint32_t j = 0; j < kSectorsPerRead; ++j) {
        const std::uint32_t s = currentSector + j;
        if (!readDone) break;
        if (s >= baseSector + ringCount) break;                 // past the ring's last sector
        if (PhysicalToLogical(s) < currentLogical) break;       // past the newest record
        const unsigned char* sector = sectors.get() + static_cast<std::size_t>(j) * kSectorSize;
        TrendPoint point;
        if (!points.PointOf(sector, &point)) {
            continue;
        }
        text.AppendPair(point.valueA, point.valueB);
        TrendRecord record;
        record.sector = s;
        record.time = timestamps.Decode(sector);
        record.point = point;
        rmsOf.RmsOf(sector, &record.rms);
        trendRecords.push_back(record);
        ++count;
    }

    // Padding: one single zero per point missing to the target count.
    while (count < kFillTarget) {
        text.Append(0);
        ++count;
    }

    device.volume.reset();  // closes the device
}

}  // namespace orvanta
