// The trend point of one record sector: the integer RMS of channels A and B
// over sample pairs 1 to 96, both zero-corrected with channel B's zero level,
// scaled by the calibration ratios. Shared by the trend text and anything else
// that shows a record's trend value, so both give the same two integers.
#pragma once

#include <cstdint>

namespace orvanta {

struct TrendPoint {
    std::int32_t valueA;
    std::int32_t valueB;
};

class CTrendPointCalculator {
public:
    CTrendPointCalculator(double zeroLevel, double ratioA, double ratioB);

    // False when the sector gives no point: no record marker, a sample beyond
    // the amplitude limit of 518, or a flat channel B.
    bool PointOf(const unsigned char* sector, TrendPoint* point) const;

private:
    // The sums of squares of the corrected samples of both channels; false
    // when a sample is beyond the amplitude limit.
    bool WholeLevelSums(const unsigned char* sector, std::int32_t* sumA, std::int32_t* sumB) const;
    bool DoubleLevelSums(const unsigned char* sector, std::int32_t* sumA, std::int32_t* sumB) const;

    double zeroLevel_;
    double ratioA_;
    double ratioB_;
    // With a whole-numbered zero level (509.0) between 0 and 32249 the double
    // difference is exact in 16 bits, so integer arithmetic gives the same
    // value without a conversion per sample.
    bool wholeLevel_;
    std::int32_t wholeZero_;
};

}  // namespace orvanta
