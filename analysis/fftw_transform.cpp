// FFTW's real-to-complex transform of one period. The plan is made once per
// process, under a lock: FFTW's planner is not thread-safe, its execution is.
// Each call runs the plan through the new-array execute function on arrays
// aligned as the planning arrays were, so that FFTW's SIMD codelets apply (a
// plan made with FFTW_UNALIGNED would take about twice as long): the caller's
// own when they are (kTransformAlignment), else copies.
// FFTW_ESTIMATE picks the algorithm without timing runs, so every run of the
// program computes the same bits (FFTW_MEASURE could pick another algorithm
// from run to run).
#include <fftw3.h>

#include <cstdint>
#include <mutex>

#include "analysis/period_transform.h"

namespace orvanta {
namespace analysis {
namespace {

constexpr std::size_t kAlignment = kTransformAlignment;  // enough for any of FFTW's SIMD codelets

bool Aligned(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % kAlignment == 0; }

std::mutex planLock;

fftw_plan PeriodPlan() {
    std::lock_guard<std::mutex> hold(planLock);
    static fftw_plan plan = [] {
        alignas(kAlignment) double in[kPeriodSamples] = {};
        alignas(kAlignment) fftw_complex out[kBins];
        return fftw_plan_dft_r2c_1d(kPeriodSamples, in, out, FFTW_ESTIMATE);
    }();
    return plan;
}

class CFftwTransform : public CPeriodTransform {
public:
    CFftwTransform() : plan_(PeriodPlan()) {}

    void Forward(const double* samples, std::complex<double>* bins) const override {
        if (Aligned(samples) && Aligned(bins)) {
            // r2c transforms leave their input as it was (FFTW_PRESERVE_INPUT is
            // their default), and std::complex<double> is laid out as
            // fftw_complex.
            fftw_execute_dft_r2c(plan_, const_cast<double*>(samples), reinterpret_cast<fftw_complex*>(bins));
            return;
        }
        alignas(kAlignment) double in[kPeriodSamples];
        alignas(kAlignment) fftw_complex out[kBins];
        for (int n = 0; n < kPeriodSamples; ++n) in[n] = samples[n];
        fftw_execute_dft_r2c(plan_, in, out);
        for (int h = 0; h < kBins; ++h) bins[h] = {out[h][0], out[h][1]};
    }

private:
    fftw_plan plan_;
};

}  // namespace

std::shared_ptr<const CPeriodTransform> MakeFftwTransform() {
    static const auto transform = std::make_shared<const CFftwTransform>();
    return transform;
}

std::shared_ptr<const CPeriodTransform> MakePeriodTransform() { return MakeFftwTransform(); }

}  // namespace analysis
}  // namespace orvanta
