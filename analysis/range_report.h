// The power-quality report of a time range of a card, in one scan: the range
// analysis (range_analysis.h) gives each record's power quality, which is
// reduced to the report's per-record values and aggregated into 10-minute
// intervals; the same scan's sectors go to the events' detector exactly as
// the event scan feeds it (each record's channel B trend point against the
// nominal voltage), and the records' times to the gap counter. The figures
// are those of report_figures.h; report_html.h and report_json.h write them.
//
// Qt-free, so that the command line and both windows make the same report:
//   CRangeReport report(reader, settings);
//   RangeReport made = report.Make(range);
//   std::string page = ReportHtml(made, language);
#pragma once

#include <cstdint>

#include "analysis/range_analysis.h"
#include "analysis/report_figures.h"
#include "card/card_reader.h"
#include "card/range_scan.h"

namespace orvanta {
namespace analysis {

struct RangeReport : CardScanEnd {
    char letter = 0;            // the card's drive letter
    std::uint32_t serial = 0;   // the recorder's serial number
    TimeRange range;            // as asked
    ReportFigures figures;      // of the records read (all, unless the card ended the scan)
};

class CRangeReport {
public:
    // `reader.Volumes()` must outlive the report; settings.orders is N.
    CRangeReport(const CCardReader& reader, const ReportSettings& settings);

    void SetProgressHook(CRangeScan::ProgressHook hook) { analysis_.SetProgressHook(std::move(hook)); }
    void SetCancelHook(CRangeScan::CancelHook hook) { analysis_.SetCancelHook(std::move(hook)); }

    RangeReport Make(const TimeRange& range);

private:
    const CCardReader& reader_;
    ReportSettings settings_;
    CRangeAnalysis analysis_;
};

}  // namespace analysis
}  // namespace orvanta
