#include "analysis/record_period.h"

#include <algorithm>

#include "card/card_layout.h"

namespace orvanta {
namespace analysis {
namespace {

// The trend's amplitude rule: a sample more than 518 counts from 509. A raw
// sample is at least 0, so only the upper side can be crossed: a sample above
// 509 + 518.
constexpr unsigned kHighestInside = 509 + 518;

}  // namespace

CRecordPeriod::CRecordPeriod(double ratioA, double ratioB)
    : amperesPerCount_(ratioA * kTrendScaleA), voltsPerCount_(ratioB * kTrendScaleB) {}

void CRecordPeriod::Take(const unsigned char* sector, PeriodSamples* period) const {
    unsigned highest = 0;
    for (int k = 0; k < kPeriodSamples; ++k) {
        const unsigned a = PairSample(sector, kFirstPeriodPair + k, 0);
        const unsigned b = PairSample(sector, kFirstPeriodPair + k, 1);
        period->amperes[k] = (static_cast<double>(a) - kZeroLevelA) * amperesPerCount_;
        period->volts[k] = (static_cast<double>(b) - kZeroLevelB) * voltsPerCount_;
        highest = std::max(highest, std::max(a, b));
    }
    period->clipped = highest > kHighestInside;
}

}  // namespace analysis
}  // namespace orvanta
