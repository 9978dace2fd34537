#include "analysis/range_analysis.h"

#include "card/card_layout.h"

namespace orvanta {
namespace analysis {

CRangeAnalysis::CRangeAnalysis(const CCardReader& reader, int orders)
    : scan_(CardScanSource(reader)), period_(reader.ratioA, reader.ratioB), analyser_(orders) {}

RangeAnalysisResult CRangeAnalysis::Scan(const TimeRange& range, const QualitySink& sink) const {
    RangeAnalysisResult result;
    PeriodSamples period;
    PowerQuality quality;
    std::uint64_t records = 0;
    static_cast<RangeScanResult&>(result) = scan_.Scan(
        range,
        [&](std::uint32_t sector, std::int32_t time, const unsigned char* bytes) {
            if (sectorHook_) sectorHook_(sector, time, bytes);
            if (bytes[0] != kRecordMarker) return;
            period_.Take(bytes, &period);
            analyser_.Analyse(period, &quality);
            sink(sector, time, quality);
            ++records;
        },
        "the card stopped answering during the scan; the analysis holds the records read before");
    result.records = records;
    return result;
}

}  // namespace analysis
}  // namespace orvanta
