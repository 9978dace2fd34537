#include "analysis/power_quality.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace orvanta {
namespace analysis {
namespace {

std::optional<double> Ratio(double numerator, double divisor) {
    if (divisor <= kUndefinedBelow) return std::nullopt;
    return numerator / divisor;
}

}  // namespace

CPowerQualityAnalyser::CPowerQualityAnalyser(int orders, std::shared_ptr<const CPeriodTransform> transform)
    : orders_(std::clamp(orders, kMinOrders, kMaxOrders)), transform_(std::move(transform)) {}

ChannelQuality CPowerQualityAnalyser::AnalyseChannel(const std::array<double, kPeriodSamples>& x) const {
    ChannelQuality c;
    double squares = 0.0;
    double peak = 0.0;
    for (double value : x) {
        squares += value * value;
        peak = std::max(peak, std::fabs(value));
    }
    c.rms = std::sqrt(squares / kPeriodSamples);
    c.crest = Ratio(peak, c.rms);

    std::complex<double> bins[kBins];
    transform_->Forward(x.data(), bins);
    c.harmonic.assign(static_cast<std::size_t>(orders_) + 1, 0.0);
    c.phase.assign(static_cast<std::size_t>(orders_) + 1, 0.0);
    c.harmonic[0] = bins[0].real() / kPeriodSamples;
    const double scale = std::sqrt(2.0) / kPeriodSamples;
    double distortion = 0.0;  // sum of X_h^2 over h = 2..N
    double all = 0.0;         // sum of X_h^2 over h = 1..N
    for (int h = 1; h <= orders_; ++h) {
        c.harmonic[h] = scale * std::hypot(bins[h].real(), bins[h].imag());
        c.phase[h] = std::atan2(bins[h].imag(), bins[h].real());
        const double square = c.harmonic[h] * c.harmonic[h];
        all += square;
        if (h >= 2) distortion += square;
    }
    c.thdF = Ratio(100.0 * std::sqrt(distortion), c.harmonic[1]);
    c.thdR = Ratio(100.0 * std::sqrt(distortion), std::sqrt(all));
    return c;
}

PowerQuality CPowerQualityAnalyser::Analyse(const PeriodSamples& period) const {
    PowerQuality q;
    q.orders = orders_;
    q.voltage = AnalyseChannel(period.volts);
    q.current = AnalyseChannel(period.amperes);
    q.clipped = period.clipped;

    double products = 0.0;
    for (int k = 0; k < kPeriodSamples; ++k) products += period.volts[k] * period.amperes[k];
    q.p = products / kPeriodSamples;
    q.s = q.voltage.rms * q.current.rms;
    q.pf = Ratio(q.p, q.s);

    const double v1 = q.voltage.harmonic[1];
    const double i1 = q.current.harmonic[1];
    const double shift = q.voltage.phase[1] - q.current.phase[1];
    if (v1 > kUndefinedBelow && i1 > kUndefinedBelow) q.dpf = std::cos(shift);
    q.q1 = v1 * i1 * std::sin(shift);

    double weighted = 0.0;
    double total = 0.0;
    for (int h = 1; h <= orders_; ++h) {
        const double square = q.current.harmonic[h] * q.current.harmonic[h];
        weighted += static_cast<double>(h) * h * square;
        total += square;
    }
    q.kFactor = Ratio(weighted, total);
    return q;
}

}  // namespace analysis
}  // namespace orvanta
