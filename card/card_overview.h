// CardOverview: the whole recording at a glance. It finds the ring of records
// as the card reader does and samples it, from the oldest record to the
// newest or within a range of local times, at up to N evenly spread logical
// positions. Each sample carries the record's physical sector, its timestamp,
// its trend point (the two integers that the trend text gives for that
// record, with the same zero level, limits, scaling and ratios) and its
// real-valued RMS in amperes and volts (record_rms.h). A time range yields
// only records inside it.
//
// One scan holds the card's volume open once: the ring searches probe through
// it (each sector at most once), then the samples are read in ascending
// sector order, adjacent ones as one read. An overview of N points costs at
// most N + 300 sector reads, the ring discovery included. A failed read loses
// its sample only; a card pulled during the scan ends it with what was read.
//
// Qt-free: the window runs a scan on a worker thread, the command line runs
// it directly. A scan touches no CCardReader: everything it needs is copied
// at construction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/card_scan_source.h"
#include "card/record_rms.h"
#include "card/ring_bounds.h"
#include "card/ring_range.h"
#include "card/trend_point.h"
#include "platform/raw_volume.h"

namespace orvanta {

struct OverviewSample {
    std::uint32_t sector = 0;  // physical sector of the record
    std::int32_t time = 0;     // its timestamp (local standard time)
    bool hasPoint = false;     // false: the record gives no trend point
    TrendPoint point{0, 0};    // channel A and channel B trend values
    bool hasRms = false;       // false: no record marker
    RecordRms rms;             // channel A (A) and channel B (V), unrounded
    // The strip's other quantities, filled by the overview's record hook
    // (analysis/strip_quality.h) when one is set; unset when a record gives
    // none (no marker, no fundamental, no apparent power).
    std::optional<double> voltageThdF;  // percent
    std::optional<double> currentThdF;  // percent
    std::optional<double> powerFactor;
};

// A scan's status and message when the ring's range leaves nothing to read
// (the card gone, no records, no record in the range); false when the range
// has records. The card overview and the event scan end alike.
bool RangeEndsScan(RangeOutcome outcome, OverviewStatus* status, std::string* message);

struct OverviewRequest {
    std::uint32_t points = 1000;  // at most this many samples (at least 1)
    bool hasFrom = false;         // sample from the first record of this second on
    std::int32_t from = 0;
    bool hasTo = false;           // up to the last record of this second
    std::int32_t to = 0;
};

struct OverviewResult : CardScanEnd {
    std::vector<OverviewSample> samples;  // in ring order, oldest first
    RingBounds ring;                      // as the ring discovery found it
    std::int32_t oldestTime = 0;          // the ring's oldest and newest record
    std::int32_t newestTime = 0;
    std::uint64_t positions = 0;          // sample positions in the range (before losses)
};

class CardOverview {
public:
    // Called after each read with the sample positions done and their total.
    using ProgressHook = std::function<void(std::size_t done, std::size_t total)>;
    // Asked before each read; true stops the scan.
    using CancelHook = std::function<bool()>;
    // Called with each sample's record sector (after its RMS), on the scan's
    // thread: adds what card/ cannot compute (the power quality).
    using RecordHook = std::function<void(const unsigned char* sector, OverviewSample* sample)>;

    // Takes the reader's device path, ring base, zero levels and ratios; `reader.Volumes()` must outlive the overview.
    explicit CardOverview(const CCardReader& reader);

    void SetProgressHook(ProgressHook hook) { progress_ = std::move(hook); }
    void SetCancelHook(CancelHook hook) { cancel_ = std::move(hook); }
    void SetRecordHook(RecordHook hook) { record_ = std::move(hook); }

    // Scans the card. A recorder writing during the scan can overwrite the
    // sampled positions with newer records: a scan whose samples leave the
    // ring's time order or bounds is made again (up to three times); what
    // still does not fit is left out, with a message.
    OverviewResult Scan(const OverviewRequest& request) const;

    // The logical indices sampled in [first, last]: min(points, count) of them,
    // evenly spread, the first and the last included.
    static std::vector<std::uint32_t> SamplePositions(std::uint32_t first, std::uint32_t last, std::uint32_t points);

private:
    OverviewResult ScanOnce(const OverviewRequest& request) const;

    CardScanSource source_;
    ProgressHook progress_;
    CancelHook cancel_;
    RecordHook record_;
};

}  // namespace orvanta
