#include "analysis/power_quality.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace orvanta {
namespace analysis {
namespace {

// (sqrt(2)/96)^2: X_h^2 = kScaleSquared * |sum h|^2.
constexpr double kScaleSquared = 2.0 / (static_cast<double>(kPeriodSamples) * kPeriodSamples);

// |z|^2 as re^2 + im^2 (std::norm of a double goes through std::abs, a
// hypot, and squares it again).
double Norm(const std::complex<double>& z) { return z.real() * z.real() + z.imag() * z.imag(); }

std::optional<double> Ratio(double numerator, double divisor) {
    if (divisor <= kUndefinedBelow) return std::nullopt;
    return numerator / divisor;
}

// Sums over the 96 samples in two interleaved partial sums (even and odd
// samples), added at the end: a fixed order, so the same samples always give
// the same bits, and the two lanes of an SSE2 register at work instead of one
// long chain of dependent additions.
struct PeriodSums {
    double voltSquares = 0.0;
    double ampereSquares = 0.0;
    double products = 0.0;
    double voltPeak = 0.0;
    double amperePeak = 0.0;
};

PeriodSums SumsOf(const PeriodSamples& period) {
    constexpr int kLanes = 2;
    double vv[kLanes] = {};
    double ii[kLanes] = {};
    double vi[kLanes] = {};
    double vPeak[kLanes] = {};
    double iPeak[kLanes] = {};
    for (int k = 0; k < kPeriodSamples; k += kLanes) {
        for (int lane = 0; lane < kLanes; ++lane) {
            const double v = period.volts[k + lane];
            const double i = period.amperes[k + lane];
            vv[lane] += v * v;
            ii[lane] += i * i;
            vi[lane] += v * i;
            vPeak[lane] = std::max(vPeak[lane], std::fabs(v));
            iPeak[lane] = std::max(iPeak[lane], std::fabs(i));
        }
    }
    PeriodSums sums;
    sums.voltSquares = vv[0] + vv[1];
    sums.ampereSquares = ii[0] + ii[1];
    sums.products = vi[0] + vi[1];
    sums.voltPeak = std::max(vPeak[0], vPeak[1]);
    sums.amperePeak = std::max(iPeak[0], iPeak[1]);
    return sums;
}

}  // namespace

CPowerQualityAnalyser::CPowerQualityAnalyser(int orders, std::shared_ptr<const CPeriodTransform> transform)
    : orders_(std::clamp(orders, kMinOrders, kMaxOrders)), transform_(std::move(transform)) {}

void CPowerQualityAnalyser::AnalyseChannel(const std::array<double, kPeriodSamples>& x, double squares, double peak,
                                           ChannelQuality* out) const {
    ChannelQuality& c = *out;
    c.rms = std::sqrt(squares / kPeriodSamples);
    c.crest = Ratio(peak, c.rms);

    transform_->Forward(x.data(), c.sum.data());
    c.harmonic[0] = c.sum[0].real() / kPeriodSamples;
    const double scale = std::sqrt(2.0) / kPeriodSamples;
    // |sum h|^2, then the roots in a loop of their own (they vectorise), then
    // the distortion. The magnitudes here are far from overflow, so the plain
    // root serves (std::hypot costs several times as much); X_h^2 is taken as
    // (2/96^2) * |sum h|^2, the same value without waiting for the root.
    double magnitudeSquared[kMaxOrders + 1];
    for (int h = 1; h <= orders_; ++h) magnitudeSquared[h] = Norm(c.sum[h]);
    for (int h = 1; h <= orders_; ++h) c.harmonic[h] = scale * std::sqrt(magnitudeSquared[h]);
    double distortion = 0.0;  // sum of X_h^2 over h = 2..N
    for (int h = 2; h <= orders_; ++h) distortion += kScaleSquared * magnitudeSquared[h];
    const double fundamentalSquared = kScaleSquared * Norm(c.sum[1]);
    c.thdF = Ratio(100.0 * std::sqrt(distortion), c.harmonic[1]);
    c.thdR = Ratio(100.0 * std::sqrt(distortion), std::sqrt(fundamentalSquared + distortion));
}

PowerQuality CPowerQualityAnalyser::Analyse(const PeriodSamples& period) const {
    PowerQuality q;
    Analyse(period, &q);
    return q;
}

void CPowerQualityAnalyser::Analyse(const PeriodSamples& period, PowerQuality* quality) const {
    PowerQuality& q = *quality;
    q.orders = orders_;
    const PeriodSums sums = SumsOf(period);
    AnalyseChannel(period.volts, sums.voltSquares, sums.voltPeak, &q.voltage);
    AnalyseChannel(period.amperes, sums.ampereSquares, sums.amperePeak, &q.current);
    q.clipped = period.clipped;
    q.p = sums.products / kPeriodSamples;
    q.s = q.voltage.rms * q.current.rms;
    q.pf = Ratio(q.p, q.s);

    // cos and sin of phiV_1 - phiI_1 from the two sums themselves:
    // V * conj(I) = |V| |I| e^(i (phiV - phiI)), so no angle is formed (atan2,
    // cos and sin cost more than the rest of a record's figures).
    const double v1 = q.voltage.harmonic[1];
    const double i1 = q.current.harmonic[1];
    const std::complex<double> cross = q.voltage.sum[1] * std::conj(q.current.sum[1]);
    q.dpf.reset();
    if (v1 > kUndefinedBelow && i1 > kUndefinedBelow) {
        q.dpf = cross.real() / (std::sqrt(Norm(q.voltage.sum[1])) * std::sqrt(Norm(q.current.sum[1])));
    }
    q.q1 = kScaleSquared * cross.imag();  // V_1 * I_1 * sin(phiV_1 - phiI_1)

    double weighted = 0.0;
    double total = 0.0;
    for (int h = 1; h <= orders_; ++h) {
        const double square = Norm(q.current.sum[h]);  // I_h^2 up to the common factor 2/96^2
        weighted += static_cast<double>(h) * h * square;
        total += square;
    }
    q.kFactor = Ratio(kScaleSquared * weighted, kScaleSquared * total);  // the divisor is sum I_h^2
}

}  // namespace analysis
}  // namespace orvanta
