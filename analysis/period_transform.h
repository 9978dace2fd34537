// The discrete Fourier transform of one period (96 real samples), behind one
// interface: bin h = sum over n = 0..95 of x[n] * e^(-2*pi*i*h*n/96), for
// h = 0..48. On Linux FFTW computes it (fftw_transform.cpp); the Windows build
// has no FFTW and computes the same bins directly (direct_transform.cpp). Both
// are built on Linux, where a test holds them equal.
//
// Forward() may be called from several threads at once.
#pragma once

#include <complex>
#include <memory>

#include "analysis/period.h"

namespace orvanta {
namespace analysis {

class CPeriodTransform {
public:
    virtual ~CPeriodTransform() = default;
    // `samples`: kPeriodSamples values; `bins`: kBins values, written.
    virtual void Forward(const double* samples, std::complex<double>* bins) const = 0;
};

// The bins computed directly from tables of the 96 angles.
std::shared_ptr<const CPeriodTransform> MakeDirectTransform();

#ifdef ORVANTA_HAVE_FFTW
// FFTW's real-to-complex transform; its plan is made once per process.
std::shared_ptr<const CPeriodTransform> MakeFftwTransform();
#endif

// The platform's transform: FFTW where the build has it, else the direct one.
std::shared_ptr<const CPeriodTransform> MakePeriodTransform();

}  // namespace analysis
}  // namespace orvanta
