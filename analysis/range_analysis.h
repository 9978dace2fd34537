// The power quality of every record of a time range: the range scan of
// card/range_scan.h reads the records in ring order, oldest first, and each
// sector that carries a record's marker is analysed (its period, pairs 1 to
// 96, with the reader's ratios) and handed on with its sector and time.
// Progress, cancelling and a card pulled mid-scan are the range scan's.
#pragma once

#include <cstdint>
#include <functional>

#include "analysis/power_quality.h"
#include "card/card_reader.h"
#include "card/range_scan.h"

namespace orvanta {
namespace analysis {

struct RangeAnalysisResult : RangeScanResult {
    std::uint64_t records = 0;  // records analysed
};

class CRangeAnalysis {
public:
    using QualitySink = std::function<void(std::uint32_t sector, std::int32_t time, const PowerQuality& quality)>;

    // Takes the reader's device path, ring base and ratios; `reader.Volumes()`
    // must outlive the analysis.
    CRangeAnalysis(const CCardReader& reader, int orders);

    void SetProgressHook(CRangeScan::ProgressHook hook) { scan_.SetProgressHook(std::move(hook)); }
    void SetCancelHook(CRangeScan::CancelHook hook) { scan_.SetCancelHook(std::move(hook)); }
    // Also gets every dated sector of the range, before it is analysed, for
    // what the same scan can give besides (the report's events).
    void SetSectorHook(CRangeScan::RecordSink hook) { sectorHook_ = std::move(hook); }

    RangeAnalysisResult Scan(const TimeRange& range, const QualitySink& sink) const;

private:
    CRangeScan scan_;
    CRangeScan::RecordSink sectorHook_;
    CRecordPeriod period_;
    CPowerQualityAnalyser analyser_;
};

}  // namespace analysis
}  // namespace orvanta
