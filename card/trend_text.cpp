// The RMS trend text: from the selected record on, up to 1000 consecutive
// sectors are fetched in one read request; every valid record among them gives
// one point of scaled RMS values of its two channels, and the text is padded
// with single zeros to a fixed minimum count.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

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
    // It is kept for TrendRecords.
    constexpr std::size_t kBytes = static_cast<std::size_t>(kSectorsPerRead) * kSectorSize;
    trendRead_.resize(kBytes);
    trendFirst_ = currentSector;
    const std::uint64_t offset = static_cast<std::uint64_t>(currentSector) * kSectorSize;
    const bool readDone = device && !device->ReadAt(offset, trendRead_.data(), kBytes).Failed();

    BoundedText text(trendText, sizeof trendText);
    text.AppendPair(0, 0);  // the first point of every trend
    int count = 1;
    trendOrigins_.clear();
    trendRms_ = CRecordRmsCalculator(offsetA, offsetB, ratioA, ratioB);

    const std::uint32_t currentLogical = PhysicalToLogical(currentSector);
    const CTrendPointCalculator points(offsetB, ratioA, ratioB);
    for (std::uint32_t j = 0; j < kSectorsPerRead; ++j) {
        const std::uint32_t s = currentSector + j;
        if (!readDone) break;
        if (s >= baseSector + ringCount) break;                 // past the ring's last sector
        if (PhysicalToLogical(s) < currentLogical) break;       // past the newest record
        TrendPoint point;
        if (!points.PointOf(trendRead_.data() + static_cast<std::size_t>(j) * kSectorSize, &point)) {
            continue;
        }
        text.AppendPair(point.valueA, point.valueB);
        trendOrigins_.push_back({j, point});
        ++count;
    }

    // Padding: one single zero per point missing to the target count.
    while (count < kFillTarget) {
        text.Append(0);
        ++count;
    }

    device.volume.reset();  // closes the device
}

std::vector<TrendRecord> CCardReader::TrendRecords() const {
    std::vector<TrendRecord> records;
    records.reserve(trendOrigins_.size());
    CTimestampDecoder timestamps;
    for (const TrendPointOrigin& origin : trendOrigins_) {
        const unsigned char* sector = trendRead_.data() + static_cast<std::size_t>(origin.index) * kSectorSize;
        TrendRecord record;
        record.sector = trendFirst_ + origin.index;
        record.time = timestamps.Decode(sector);
        record.point = origin.point;
        trendRms_.RmsOf(sector, &record.rms);
        records.push_back(record);
    }
    return records;
}

}  // namespace orvanta
