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
      wholeLevel_(std::floor(zeroLevel) == zeroLevel && zeroLevel >= 0 && zeroLevel <= 32767 - kAmplitudeLimit),
      wholeZero_(wholeLevel_ ? static_cast<std::int32_t>(zeroLevel) : 0) {}

bool CTrendPointCalculator::PointOf(const unsigned char* sector, TrendPoint* point) const {
    if (sector[0] != kRecordMarker) return false;
    std::int32_t sumA = 0;
    std::int32_t sumB = 0;
    if (wholeLevel_ ? !WholeLevelSums(sector, &sumA, &sumB) : !DoubleLevelSums(sector, &sumA, &sumB)) return false;
    const std::int32_t rmsA = RootOfMeanSquare(sumA);
    const std::int32_t rmsB = RootOfMeanSquare(sumB);
    if (rmsB <= 0) return false;
    point->valueA = TruncateToInt32(static_cast<double>(rmsA) * ratioA_ * kTrendScaleA + 0.5);
    point->valueB = TruncateToInt32(static_cast<double>(rmsB) * ratioB_ * kTrendScaleB + 0.5);
    return true;
}

// Every sample is corrected and squared in 16-bit lanes without a branch, so
// the compiler works on eight at once, and the amplitude limit is judged once
// for all of them: a trend reads 192,000 samples. A sample of 32768 or more is
// beyond the limit (the zero level is at most 32767 - 518); below that, the
// difference is exact in 16 bits. Squares are summed in unsigned arithmetic,
// which wraps only when a sample is beyond the limit, and then the sums are
// not used; within it they are exact (at most 96 * 518 * 518).
bool CTrendPointCalculator::WholeLevelSums(const unsigned char* sector, std::int32_t* sumA, std::int32_t* sumB) const {
    const unsigned char* pair = sector + kFirstPairOffset + kBytesPerPair * kFirstTrendPair;
    const auto zero = static_cast<std::uint16_t>(wholeZero_);
    std::uint16_t high = 0;
    std::uint16_t beyond = 0;
    std::uint32_t squaresA = 0;
    std::uint32_t squaresB = 0;
    for (int k = 0; k < kSamplesPerChannel; ++k, pair += kBytesPerPair) {
        const auto sampleA = static_cast<std::uint16_t>(SampleAt(pair));
        const auto sampleB = static_cast<std::uint16_t>(SampleAt(pair + 2));
        high |= static_cast<std::uint16_t>(sampleA | sampleB);
        const auto a = static_cast<std::int16_t>(static_cast<std::uint16_t>(sampleA - zero));
        const auto b = static_cast<std::int16_t>(static_cast<std::uint16_t>(sampleB - zero));
        beyond |= static_cast<std::uint16_t>(static_cast<std::uint16_t>(a + kAmplitudeLimit) > 2 * kAmplitudeLimit);
        beyond |= static_cast<std::uint16_t>(static_cast<std::uint16_t>(b + kAmplitudeLimit) > 2 * kAmplitudeLimit);
        squaresA += static_cast<std::uint32_t>(a * a);
        squaresB += static_cast<std::uint32_t>(b * b);
    }
    *sumA = static_cast<std::int32_t>(squaresA);
    *sumB = static_cast<std::int32_t>(squaresB);
    return beyond == 0 && (high & 0x8000u) == 0;
}

// Any other zero level: each difference in double precision, truncated toward
// zero, and the first sample beyond the limit ends the record.
bool CTrendPointCalculator::DoubleLevelSums(const unsigned char* sector, std::int32_t* sumA, std::int32_t* sumB) const {
    for (int pair = kFirstTrendPair; pair < kFirstTrendPair + kSamplesPerChannel; ++pair) {
        const std::int32_t a = TruncateToInt32(static_cast<double>(PairSample(sector, pair, 0)) - zeroLevel_);
        const std::int32_t b = TruncateToInt32(static_cast<double>(PairSample(sector, pair, 1)) - zeroLevel_);
        if (a > kAmplitudeLimit || a < -kAmplitudeLimit || b > kAmplitudeLimit || b < -kAmplitudeLimit) {
            return false;
        }
        *sumA += a * a;  // at most 96 * 518 * 518, far inside 32 bits
        *sumB += b * b;
    }
    return true;
}

}  // namespace orvanta
