// The power quality of one period (analysis/period.h), in double precision:
//   rms          square root of the mean of the 96 squares;
//   X_h          sqrt(2)/96 * |sum_n x_(n+1) * e^(-2*pi*i*h*n/96)|, the RMS value
//                of harmonic h = 1..N, and phi_h the argument of that sum;
//   thd_f        100 * sqrt(sum_{h=2..N} X_h^2) / X_1;
//   thd_r        100 * sqrt(sum_{h=2..N} X_h^2) / sqrt(sum_{h=1..N} X_h^2);
//   p            mean of v_k * i_k (W);  s = v_rms * i_rms (VA);  pf = p / s;
//   dpf          cos(phiV_1 - phiI_1);
//   q1           V_1 * I_1 * sin(phiV_1 - phiI_1) (var, positive when the
//                current lags; IEEE 1459's fundamental reactive power);
//   crest        max|x_k| / rms, for each channel;
//   k_factor     sum h^2 * I_h^2 / sum I_h^2 over h = 1..N (the current's);
//   clipped      the record's amplitude rule (record_period.h).
// A value whose divisor is at most 1e-9 is undefined (empty optional); dpf is
// undefined when V_1 or I_1 is at most 1e-9.
//
// It is a sample of one period per record, not the gapless measurement of
// IEC 61000-4-30 class A.
#pragma once

#include <array>
#include <complex>
#include <memory>
#include <optional>

#include "analysis/period.h"
#include "analysis/period_transform.h"
#include "analysis/record_period.h"

namespace orvanta {
namespace analysis {

struct ChannelQuality {
    double rms = 0.0;
    // Index h = 1..orders: the harmonic's RMS value (the entries above the
    // analysis's orders stay 0); index 0 holds the channel's mean.
    std::array<double, kMaxOrders + 1> harmonic{};
    // Index h: the DFT sum of bin h (0..48), whose argument is phi_h.
    // Aligned for the transform's SIMD code (period_transform.h).
    alignas(kTransformAlignment) std::array<std::complex<double>, kBins> sum{};
    std::optional<double> thdF;   // percent
    std::optional<double> thdR;   // percent
    std::optional<double> crest;

    // phi_h in radians (the argument of sum h).
    double Phase(int h) const { return std::arg(sum[h]); }
};

struct PowerQuality {
    int orders = kDefaultOrders;
    ChannelQuality voltage;  // channel B, volts
    ChannelQuality current;  // channel A, amperes
    double p = 0.0;          // W
    double s = 0.0;          // VA
    double q1 = 0.0;         // var
    std::optional<double> pf;
    std::optional<double> dpf;
    std::optional<double> kFactor;  // the current's
    bool clipped = false;
};

class CPowerQualityAnalyser {
public:
    // `orders`: N, kMinOrders..kMaxOrders (clamped into that range).
    explicit CPowerQualityAnalyser(int orders = kDefaultOrders,
                                   std::shared_ptr<const CPeriodTransform> transform = MakePeriodTransform());

    int Orders() const { return orders_; }
    PowerQuality Analyse(const PeriodSamples& period) const;
    // The same into `quality`, for a caller that analyses record after
    // record: a PowerQuality is a few kilobytes, cleared once rather than
    // once a record. `quality` must come from this analyser or be new.
    void Analyse(const PeriodSamples& period, PowerQuality* quality) const;

private:
    // Fills `c` in place (a PowerQuality is a few kilobytes, not worth
    // copying), given the sum of the squares of `x` and its largest |x|.
    void AnalyseChannel(const std::array<double, kPeriodSamples>& x, double squares, double peak,
                        ChannelQuality* c) const;

    int orders_;
    std::shared_ptr<const CPeriodTransform> transform_;
};

}  // namespace analysis
}  // namespace orvanta
