// FFTW's real-to-complex transform of one period. The plan is made once per
// process, under a lock: FFTW's planner is not thread-safe, its execution is.
// Each call runs the plan on its own arrays through the new-array execute
// function; the plan is made with FFTW_UNALIGNED so that any arrays do.
// FFTW_ESTIMATE picks the algorithm without timing runs, so every run of the
// program computes the same bits (FFTW_MEASURE could pick another algorithm
// from run to run).
#include <fftw3.h>

#include <mutex>

#include "analysis/period_transform.h"

namespace orvanta {
namespace analysis {
namespace {

std::mutex planLock;

fftw_plan PeriodPlan() {
    std::lock_guard<std::mutex> hold(planLock);
    static fftw_plan plan = [] {
        double in[kPeriodSamples] = {};
        fftw_complex out[kBins];
        return fftw_plan_dft_r2c_1d(kPeriodSamples, in, out, FFTW_ESTIMATE | FFTW_UNALIGNED);
    }();
    return plan;
}

class CFftwTransform : public CPeriodTransform {
public:
    CFftwTransform() : plan_(PeriodPlan()) {}

    void Forward(const double* samples, std::complex<double>* bins) const override {
        double in[kPeriodSamples];
        for (int n = 0; n < kPeriodSamples; ++n) in[n] = samples[n];
        // std::complex<double> is laid out as FFTW's double[2].
        fftw_execute_dft_r2c(plan_, in, reinterpret_cast<fftw_complex*>(bins));
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
