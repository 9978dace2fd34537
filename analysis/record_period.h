// The period of a record sector in physical units: pairs 1 to 96, with
//   i_k = (A_k - 506.3) * ratioA * 0.019419   (amperes, channel A)
//   v_k = (B_k - 509.0) * ratioB * 2.531745   (volts, channel B)
// (the two factors after the zero level multiplied once, beforehand)
// the waveform text's zero levels and the trend text's scale factors, and
// whether any of the 96 pairs lies beyond the trend's amplitude rule
// (|A_k - 509| > 518 or |B_k - 509| > 518).
#pragma once

#include <array>

#include "analysis/period.h"

namespace orvanta {
namespace analysis {

struct PeriodSamples {
    // v_1..v_96 and i_1..i_96, aligned for the transform's SIMD code.
    alignas(kTransformAlignment) std::array<double, kPeriodSamples> volts{};
    alignas(kTransformAlignment) std::array<double, kPeriodSamples> amperes{};
    bool clipped = false;
};

class CRecordPeriod {
public:
    CRecordPeriod(double ratioA, double ratioB);

    // The period of a record sector (512 bytes; the marker is not checked).
    void Take(const unsigned char* sector, PeriodSamples* period) const;

private:
    // ratio * scale factor, taken once, as the strip's RMS takes it
    // (card/record_rms.h).
    double amperesPerCount_;
    double voltsPerCount_;
};

}  // namespace analysis
}  // namespace orvanta
