#include "card/card_overview.h"

#include <algorithm>
#include <optional>

#include "card/card_layout.h"
#include "card/held_card_volume.h"
#include "card/ring_range.h"
#include "card/timestamp_decoder.h"

namespace orvanta {

namespace {

// Adjacent samples are read together, up to this many sectors (64 KiB) a read.
constexpr std::uint32_t kMaxRunSectors = 128;
constexpr int kScanAttempts = 3;

bool InRange(const OverviewSample& sample, const OverviewRequest& request) {
    return (!request.hasFrom || sample.time >= request.from) && (!request.hasTo || sample.time <= request.to);
}

// Every sample in its place: in the requested range, not earlier than the
// sample before it (or the oldest record), not later than the newest record.
bool AllInPlace(const OverviewResult& result, const OverviewRequest& request) {
    std::int32_t previous = result.oldestTime;
    for (const OverviewSample& sample : result.samples) {
        if (sample.time < previous || sample.time > result.newestTime || !InRange(sample, request)) return false;
        previous = sample.time;
    }
    return true;
}

bool SameSamples(const OverviewResult& a, const OverviewResult& b) {
    if (a.samples.size() != b.samples.size()) return false;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        if (a.samples[i].sector != b.samples[i].sector || a.samples[i].time != b.samples[i].time) return false;
    }
    return true;
}

struct Slot {
    std::uint32_t sector;  // physical sector to read
    std::size_t order;     // position of the sample in ring order
};

}  // namespace

bool RangeEndsScan(RangeOutcome outcome, OverviewStatus* status, std::string* message) {
    switch (outcome) {
        case RangeOutcome::kCardGone:
            *status = OverviewStatus::kCardGone;
            *message = "the card stopped answering";
            return true;
        case RangeOutcome::kNoRecords:
            *status = OverviewStatus::kNoRecords;
            *message = "the card holds no records";
            return true;
        case RangeOutcome::kEmpty:
            *status = OverviewStatus::kDone;
            *message = "no records in the time range";
            return true;
        case RangeOutcome::kFound:
            break;
    }
    return false;
}

CardOverview::CardOverview(const CCardReader& reader)
    : source_(reader) {}

std::vector<std::uint32_t> CardOverview::SamplePositions(std::uint32_t first, std::uint32_t last,
                                                         std::uint32_t points) {
    std::vector<std::uint32_t> positions;
    if (last < first || points == 0) return positions;
    const std::uint64_t span = std::uint64_t{last} - first + 1;
    const std::uint64_t count = std::min<std::uint64_t>(points, span);
    positions.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t offset = count == 1 ? 0 : i * (span - 1) / (count - 1);
        positions.push_back(static_cast<std::uint32_t>(first + offset));
    }
    return positions;
}

OverviewResult CardOverview::Scan(const OverviewRequest& request) const {
    OverviewResult result = ScanOnce(request);
    for (int attempt = 2; attempt <= kScanAttempts; ++attempt) {
        if (result.status != OverviewStatus::kDone || AllInPlace(result, request)) return result;
        OverviewResult again = ScanOnce(request);
        // The same odd samples twice: the card is not moving, its shape is its own.
        const bool still = SameSamples(again, result);
        result = std::move(again);
        if (still) return result;
    }
    if (result.status != OverviewStatus::kDone || AllInPlace(result, request)) return result;
    // The card kept changing. The recorder overwrites the oldest records
    // first, so the samples at the start of the ring order may hold records
    // newer than the rest: walking from the newest sample back, each sample
    // kept is no later than the one after it (and none later than the newest
    // record found). The oldest record found may itself have been
    // overwritten, so the first sample kept bounds the ring from below.
    std::vector<OverviewSample> kept;
    std::int32_t next = result.newestTime;
    for (auto sample = result.samples.rbegin(); sample != result.samples.rend(); ++sample) {
        if (sample->time > next || !InRange(*sample, request)) continue;
        kept.push_back(*sample);
        next = sample->time;
    }
    std::reverse(kept.begin(), kept.end());
    result.samples = std::move(kept);
    if (!result.samples.empty()) result.oldestTime = std::min(result.oldestTime, result.samples.front().time);
    result.message = "the card was being written during the scan; samples that moved are left out";
    return result;
}

OverviewResult CardOverview::ScanOnce(const OverviewRequest& request) const {
    OverviewResult result;
    CHeldCardVolume volume(*source_.volumes, source_.devicePath.c_str());
    auto finish = [&result, &volume](OverviewStatus status, const std::string& message) {
        EndScan(volume, status, message, &result);
        return result;
    };
    if (!volume.IsOpen()) return finish(OverviewStatus::kNoDevice, DeviceNotOpenMessage(source_));

    // The ring, found as the card reader finds it, and the range's records.
    TimeRange range;
    range.hasFrom = request.hasFrom;
    range.from = request.from;
    range.hasTo = request.hasTo;
    range.to = request.to;
    const RingRange located = LocateRange(volume, source_.baseSector, range);
    result.ring = located.ring;
    result.oldestTime = located.oldestTime;
    result.newestTime = located.newestTime;
    OverviewStatus ended = OverviewStatus::kDone;
    std::string why;
    if (RangeEndsScan(located.outcome, &ended, &why)) return finish(ended, why);
    const RingBounds& ring = result.ring;

    const std::vector<std::uint32_t> positions =
        SamplePositions(located.first, located.last, std::max<std::uint32_t>(request.points, 1));
    result.positions = positions.size();

    // Ascending sector order: on a wrapped ring the newer records, at the low
    // end of the ring, come first; the samples are put back in ring order.
    std::vector<Slot> slots;
    slots.reserve(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        slots.push_back(Slot{ring.LogicalToPhysical(positions[i]), i});
    }
    std::sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) { return a.sector < b.sector; });

    const CTrendPointCalculator points(source_.zeroLevelB, source_.ratioA, source_.ratioB);
    const CRecordRmsCalculator rmsOf(source_.zeroLevelA, source_.zeroLevelB, source_.ratioA, source_.ratioB);
    CTimestampDecoder decoder;
    std::vector<std::optional<OverviewSample>> byOrder(positions.size());
    std::vector<unsigned char> buffer(static_cast<std::size_t>(kMaxRunSectors) * kSectorSize);
    auto take = [&](const Slot& slot, const unsigned char* bytes) {
        OverviewSample sample;
        sample.sector = slot.sector;
        sample.time = decoder.Decode(bytes);
        // A sector without a valid date (unwritten inside the ring, or a
        // moment past 2038) is no record to show.
        if (sample.time <= 0) return;
        // A record out of time order on the ring (written by a recorder whose
        // clock was set back) can fall among the positions of a range; only
        // records inside the range are given.
        if (!InRange(sample, request)) return;
        sample.hasPoint = points.PointOf(bytes, &sample.point);
        sample.hasRms = rmsOf.RmsOf(bytes, &sample.rms);
        if (record_ && sample.hasRms) record_(bytes, &sample);
        byOrder[slot.order] = sample;
    };

    OverviewStatus status = OverviewStatus::kDone;
    std::string message;
    std::size_t next = 0;
    while (next < slots.size()) {
        if (cancel_ && cancel_()) {
            status = OverviewStatus::kCancelled;
            message = "cancelled";
            break;
        }
        std::size_t end = next + 1;
        while (end < slots.size() && end - next < kMaxRunSectors && slots[end].sector == slots[end - 1].sector + 1) {
            ++end;
        }
        const auto count = static_cast<std::uint32_t>(end - next);
        if (volume.ReadSectors(slots[next].sector, count, buffer.data())) {
            for (std::size_t i = next; i < end; ++i) take(slots[i], buffer.data() + (i - next) * kSectorSize);
        } else if (count > 1) {
            // One bad sector must not cost its neighbours: read them one by one.
            for (std::size_t i = next; i < end && !volume.Gone(); ++i) {
                if (volume.ReadSectors(slots[i].sector, 1, buffer.data())) take(slots[i], buffer.data());
            }
        }
        next = end;
        if (volume.Gone()) {
            status = OverviewStatus::kCardGone;
            message = "the card stopped answering during the scan; the overview holds what was read before";
            break;
        }
        if (progress_) progress_(next, slots.size());
    }

    for (auto& sample : byOrder) {
        if (sample) result.samples.push_back(*sample);
    }
    return finish(status, message);
}

}  // namespace orvanta
