#include "analysis/strip_quality.h"

#include <memory>

#include "analysis/power_quality.h"
#include "analysis/record_period.h"

namespace orvanta {
namespace analysis {

void EnableStripQuality(CardOverview& overview, const CCardReader& reader) {
    auto analyser = std::make_shared<const CPowerQualityAnalyser>();
    const CRecordPeriod period(reader.ratioA, reader.ratioB);
    overview.SetRecordHook([analyser, period](const unsigned char* sector, OverviewSample* sample) {
        PeriodSamples samples;
        period.Take(sector, &samples);
        const PowerQuality q = analyser->Analyse(samples);
        sample->voltageThdF = q.voltage.thdF;
        sample->currentThdF = q.current.thdF;
        sample->powerFactor = q.pf;
    });
}

}  // namespace analysis
}  // namespace orvanta
