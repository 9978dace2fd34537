#include "server/harmonics.h"

#include <cmath>

namespace orvanta::server {

ChannelSpectrum AnalyseChannel(const std::vector<std::int32_t>& samples) {
    ChannelSpectrum spectrum;
    spectrum.amplitude.assign(kMaxHarmonicOrder + 1, 0.0);
    spectrum.percent.assign(kMaxHarmonicOrder + 1, 0.0);
    const std::size_t n = samples.size();
    if (n == 0) {
        return spectrum;
    }

    const double pi = std::acos(-1.0);
    double sumSquares = 0.0;
    double sum = 0.0;
    for (std::int32_t s : samples) {
        sum += s;
        sumSquares += static_cast<double>(s) * s;
    }
    spectrum.rmsCounts = std::sqrt(sumSquares / static_cast<double>(n));
    spectrum.amplitude[0] = sum / static_cast<double>(n);

    for (int h = 1; h <= kMaxHarmonicOrder; ++h) {
        if (2 * static_cast<std::size_t>(h) >= n) {
            break;  // at or above half the sample count the bins alias
        }
        double re = 0.0;
        double im = 0.0;
        for (std::size_t k = 0; k < n; ++k) {
            // The phase index is reduced modulo n so the angle stays small and exact.
            const std::size_t phase = (static_cast<std::size_t>(h) * k) % n;
            const double angle = 2.0 * pi * static_cast<double>(phase) / static_cast<double>(n);
            re += samples[k] * std::cos(angle);
            im -= samples[k] * std::sin(angle);
        }
        spectrum.amplitude[h] = 2.0 * std::hypot(re, im) / static_cast<double>(n);
    }

    // A flat record leaves only rounding noise in bin 1; it has no fundamental.
    const double fundamental = spectrum.amplitude[1];
    spectrum.hasFundamental = fundamental > 1e-9 * (spectrum.rmsCounts + 1.0);
    if (spectrum.hasFundamental) {
        double distortion = 0.0;
        for (int h = 1; h <= kMaxHarmonicOrder; ++h) {
            spectrum.percent[h] = 100.0 * spectrum.amplitude[h] / fundamental;
            if (h >= 2) {
                distortion += spectrum.amplitude[h] * spectrum.amplitude[h];
            }
        }
        spectrum.thdPercent = 100.0 * std::sqrt(distortion) / fundamental;
    }
    return spectrum;
}

}  // namespace orvanta::server
