// Every record sector of a time range, oldest first, through one open of the
// card's volume in large sequential reads (2048 sectors, 1 MiB, a read; a run
// stops at the ring's last sector, where the ring continues at its base).
// Each sector with a valid date goes to a sink with its physical sector and
// time. The ring and the range are found as the card overview finds them
// (ring_range.h). The event scan and the local analysis of a range read the
// card through it.
//
// It reports progress, can be cancelled, and a card pulled during the scan
// ends it with status kCardGone after the sectors read before.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "card/card_scan_source.h"
#include "card/ring_range.h"

namespace orvanta {

struct RangeScanResult : CardScanEnd {
    std::uint64_t sectors = 0;  // sectors of the range
};

class CRangeScan {
public:
    // Gets a sector with a valid date: its physical sector, time and 512 bytes.
    using RecordSink = std::function<void(std::uint32_t sector, std::int32_t time, const unsigned char* bytes)>;
    // Called after each read with the range's sectors done and their total.
    using ProgressHook = std::function<void(std::uint64_t done, std::uint64_t total)>;
    // Asked before each read; true stops the scan.
    using CancelHook = std::function<bool()>;

    static constexpr std::uint32_t kSectorsPerRead = 2048;

    explicit CRangeScan(const CardScanSource& source) : source_(source) {}

    void SetProgressHook(ProgressHook hook) { progress_ = std::move(hook); }
    void SetCancelHook(CancelHook hook) { cancel_ = std::move(hook); }

    // `goneMessage` is the message of a scan that the card ended.
    RangeScanResult Scan(const TimeRange& range, const RecordSink& sink, const std::string& goneMessage) const;

private:
    CardScanSource source_;
    ProgressHook progress_;
    CancelHook cancel_;
};

}  // namespace orvanta
