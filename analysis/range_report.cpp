#include "analysis/range_report.h"

#include "card/card_scan_source.h"
#include "card/card_summary.h"
#include "card/event_detector.h"
#include "card/trend_point.h"

namespace orvanta {
namespace analysis {

CRangeReport::CRangeReport(const CCardReader& reader, const ReportSettings& settings)
    : reader_(reader), settings_(settings), analysis_(reader, settings.orders) {}

RangeReport CRangeReport::Make(const TimeRange& range) {
    RangeReport report;
    report.range = range;
    const CardSummary summary = SummariseCard(reader_);
    report.letter = summary.letter;
    report.serial = summary.serial;

    const CardScanSource source(reader_);
    const CTrendPointCalculator points(source.zeroLevelB, source.ratioA, source.ratioB);
    CEventDetector detector(settings_.nominalVolts);
    analysis_.SetSectorHook([&](std::uint32_t, std::int32_t time, const unsigned char* bytes) {
        TrendPoint point;
        // As in the event scan: a record without a channel B point takes no part.
        if (points.PointOf(bytes, &point)) detector.Add(time, point.valueB);
    });
    CIntervalAggregate aggregate;
    CGapCounter gaps;
    std::uint64_t records = 0;
    std::int32_t first = 0, last = 0;
    const RangeAnalysisResult result =
        analysis_.Scan(range, [&](std::uint32_t, std::int32_t time, const PowerQuality& quality) {
            aggregate.Add(RecordValuesOf(time, quality, settings_.il));
            gaps.Add(time);
            if (records++ == 0) first = time;
            last = time;
        });
    analysis_.SetSectorHook(nullptr);
    detector.Finish();
    static_cast<CardScanEnd&>(report) = result;
    report.figures = ComputeReportFigures(settings_, aggregate.Intervals(), detector.Events(), gaps.Figures(), records,
                                          first, last);
    return report;
}

}  // namespace analysis
}  // namespace orvanta
