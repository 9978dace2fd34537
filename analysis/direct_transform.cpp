// The bins of one period computed directly: the angle of sample n in bin h is
// 2*pi*((h*n) mod 96)/96, so a table of 96 cosines and sines holds every
// angle exactly as reduced, and no angle grows with h.
#include <array>
#include <cmath>

#include "analysis/period_transform.h"

namespace orvanta {
namespace analysis {
namespace {

class CDirectTransform : public CPeriodTransform {
public:
    CDirectTransform() {
        const double pi = std::acos(-1.0);
        for (int n = 0; n < kPeriodSamples; ++n) {
            const double angle = 2.0 * pi * n / kPeriodSamples;
            cos_[n] = std::cos(angle);
            sin_[n] = std::sin(angle);
        }
    }

    void Forward(const double* samples, std::complex<double>* bins) const override {
        for (int h = 0; h < kBins; ++h) {
            double re = 0.0;
            double im = 0.0;
            int phase = 0;  // (h * n) mod 96
            for (int n = 0; n < kPeriodSamples; ++n) {
                re += samples[n] * cos_[phase];
                im -= samples[n] * sin_[phase];
                phase += h;
                if (phase >= kPeriodSamples) phase -= kPeriodSamples;
            }
            bins[h] = {re, im};
        }
    }

private:
    std::array<double, kPeriodSamples> cos_{};
    std::array<double, kPeriodSamples> sin_{};
};

}  // namespace

std::shared_ptr<const CPeriodTransform> MakeDirectTransform() {
    static const auto transform = std::make_shared<const CDirectTransform>();
    return transform;
}

#ifndef ORVANTA_HAVE_FFTW
std::shared_ptr<const CPeriodTransform> MakePeriodTransform() { return MakeDirectTransform(); }
#endif

}  // namespace analysis
}  // namespace orvanta
