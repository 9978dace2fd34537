#include "card/record_rms.h"

#include <cmath>

#include "card/card_layout.h"

namespace orvanta {

namespace {

constexpr int kFirstPair = 1;
constexpr int kPairs = 96;

}  // namespace

CRecordRmsCalculator::CRecordRmsCalculator(double zeroLevelA, double zeroLevelB, double ratioA, double ratioB)
    : zeroLevelA_(zeroLevelA),
      zeroLevelB_(zeroLevelB),
      scaleA_(ratioA * kTrendScaleA),
      scaleB_(ratioB * kTrendScaleB) {}

bool CRecordRmsCalculator::RmsOf(const unsigned char* sector, RecordRms* rms) const {
    if (sector[0] != kRecordMarker) return false;
    double sumA = 0.0;
    double sumB = 0.0;
    for (int pair = kFirstPair; pair < kFirstPair + kPairs; ++pair) {
        const double a = static_cast<double>(PairSample(sector, pair, 0)) - zeroLevelA_;
        const double b = static_cast<double>(PairSample(sector, pair, 1)) - zeroLevelB_;
        sumA += a * a;
        sumB += b * b;
    }
    rms->amperesA = std::sqrt(sumA / kPairs) * scaleA_;
    rms->voltsB = std::sqrt(sumB / kPairs) * scaleB_;
    return true;
}

}  // namespace orvanta
