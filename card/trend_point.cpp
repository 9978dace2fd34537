#include "card/trend_point.h"

#include <cmath>
#include <cstddef>

#include "card/bounded_text.h"
#include "card/card_layout.h"

namespace orvanta {

namespace {

constexpr int kFirstTrendPair = 1;      // pair 0 does not enter the trend
constexpr int kSamplesPerChannel = 96;  // pairs 1..96, also the mean-square divisor
constexpr std::int32_t kAmplitudeLimit = 518;

// The integer RMS of one channel: the root of the integer mean square, rounded
// half up.
std::int32_t RootOfMeanSquare(std::int32_t sumOfSquares) {
    const std::int32_t meanSquare = sumOfSquares / kSamplesPerChannel;
    return TruncateToInt32(std::sqrt(static_cast<double>(meanSquare)) + 0.5);
}

}  // namespace

CTrendPointCalculator::CTrendPointCalculator(double zeroLevel, double ratioA, double ratioB)
    : zeroLevel_(zeroLevel),
      ratioA_(ratioA),
      ratioB_(ratioB),
      wholeLevel_(std::floor(zeroLevel) == zeroLevel && std::fabs(zeroLevel) <= 1e9),
      wholeZero_(wholeLevel_ ? static_cast<std::int32_t>(zeroLevel) : 0) {}

// The sample minus the zero level in double precision, truncated toward zero.
std::int32_t CTrendPointCalculator::Corrected(unsigned sample) const {
    if (wholeLevel_) return static_cast<std::int32_t>(sample) - wholeZero_;
    return TruncateToInt32(static_cast<double>(sample) - zeroLevel_);
}

bool CTrendPointCalculator::PointOf(const unsigned char* sector, TrendPoint* point) const {
    if (sector[0] != kRecordMarker) return false;
    std::int32_t sumA = 0;
    std::int32_t sumB = 0;
    for (int pair = kFirstTrendPair; pair < kFirstTrendPair + kSamplesPerChannel; ++pair) {
        const std::int32_t a = Corrected(PairSample(sector, pair, 0));
        const std::int32_t b = Corrected(PairSample(sector, pair, 1));
        if (a > kAmplitudeLimit || a < -kAmplitudeLimit || b > kAmplitudeLimit || b < -kAmplitudeLimit) {
            return false;
        }
        sumA += a * a;  // at most 96 * 518 * 518, far inside 32 bits
        sumB += b * b;
    }
    const std::int32_t rmsA = RootOfMeanSquare(sumA);
    const std::int32_t rmsB = RootOfMeanSquare(sumB);
    if (rmsB <= 0) return false;
    point->valueA = TruncateToInt32(static_cast<double>(rmsA) * ratioA_ * kTrendScaleA + 0.5);
    point->valueB = TruncateToInt32(static_cast<double>(rmsB) * ratioB_ * kTrendScaleB + 0.5);
    return true;
}

}  // namespace orvanta
