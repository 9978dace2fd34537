// The event scan: every record of a time range, oldest first, as the range
// scan reads it (range_scan.h); each record's channel B trend point (the
// trend text's own arithmetic, with the reader's ratios) goes to a
// CEventDetector.
//
// It reports progress, can be cancelled, and a card pulled during the scan
// ends it with the events found so far (an open one ends at its last record,
// not ended) and a message.
//
// Qt-free: the window runs it on a worker thread, the command line directly.
// A scan touches no CCardReader: what it needs is copied at construction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "card/card_overview.h"
#include "card/card_reader.h"
#include "card/card_scan_source.h"
#include "card/event_detector.h"
#include "card/range_scan.h"
#include "card/ring_range.h"
#include "platform/raw_volume.h"

namespace orvanta {

struct EventScanRequest {
    std::int32_t nominalVolts = kDefaultNominalVolts;
    TimeRange range;  // the whole ring without bounds
};

struct EventScanResult : CardScanEnd {
    std::vector<PowerEvent> events;
    std::uint64_t sectors = 0;  // sectors of the range
    std::uint64_t records = 0;  // records with a channel B trend point
};

class CEventScan {
public:
    // Called after each read with the range's sectors done and their total.
    using ProgressHook = std::function<void(std::uint64_t done, std::uint64_t total)>;
    // Asked before each read; true stops the scan.
    using CancelHook = std::function<bool()>;

    // Sectors a read asks for (1 MiB).
    static constexpr std::uint32_t kSectorsPerRead = CRangeScan::kSectorsPerRead;

    // Takes the reader's device path, ring base, channel B zero level and
    // ratios; `reader.Volumes()` must outlive the scan.
    explicit CEventScan(const CCardReader& reader);

    void SetProgressHook(ProgressHook hook) { progress_ = std::move(hook); }
    void SetCancelHook(CancelHook hook) { cancel_ = std::move(hook); }

    EventScanResult Scan(const EventScanRequest& request) const;

private:
    CardScanSource source_;
    ProgressHook progress_;
    CancelHook cancel_;
};

}  // namespace orvanta
