#include "analysis/record_period.h"

#include "card/card_layout.h"

namespace orvanta {
namespace analysis {
namespace {

constexpr int kClipLevel = 509;   // the trend's zero level for its amplitude rule
constexpr int kClipLimit = 518;

bool Beyond(unsigned sample) {
    const int d = static_cast<int>(sample) - kClipLevel;
    return d > kClipLimit || d < -kClipLimit;
}

}  // namespace

CRecordPeriod::CRecordPeriod(double ratioA, double ratioB)
    : amperesPerCount_(ratioA * kTrendScaleA), voltsPerCount_(ratioB * kTrendScaleB) {}

void CRecordPeriod::Take(const unsigned char* sector, PeriodSamples* period) const {
    bool clipped = false;
    for (int k = 0; k < kPeriodSamples; ++k) {
        const unsigned a = PairSample(sector, kFirstPeriodPair + k, 0);
        const unsigned b = PairSample(sector, kFirstPeriodPair + k, 1);
        period->amperes[k] = (static_cast<double>(a) - kZeroLevelA) * amperesPerCount_;
        period->volts[k] = (static_cast<double>(b) - kZeroLevelB) * voltsPerCount_;
        clipped = clipped | Beyond(a) | Beyond(b);
    }
    period->clipped = clipped;
}

}  // namespace analysis
}  // namespace orvanta
