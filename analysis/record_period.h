// The period of a record sector in physical units: pairs 1 to 96, with
//   i_k = (A_k - 506.3) * ratioA * 0.019419   (amperes, channel A)
//   v_k = (B_k - 509.0) * ratioB * 2.531745   (volts, channel B)
// the waveform text's zero levels and the trend text's scale factors, and
// whether any of the 96 pairs lies beyond the trend's amplitude rule
// (|A_k - 509| > 518 or |B_k - 509| > 518).
#pragma once

#include <array>

#include "analysis/period.h"

namespace orvanta {
namespace analysis {

struct PeriodSamples {
    std::array<double, kPeriodSamples> volts{};    // v_1..v_96
    std::array<double, kPeriodSamples> amperes{};  // i_1..i_96
    bool clipped = false;
};

class CRecordPeriod {
public:
    CRecordPeriod(double ratioA, double ratioB) : ratioA_(ratioA), ratioB_(ratioB) {}

    // The period of a record sector (512 bytes; the marker is not checked).
    void Take(const unsigned char* sector, PeriodSamples* period) const;

private:
    double ratioA_;
    double ratioB_;
};

}  // namespace analysis
}  // namespace orvanta
