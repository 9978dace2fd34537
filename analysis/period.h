// One period of the fundamental in a record: the recorder samples 96 times a
// period, and the trend's RMS runs over pairs 1 to 96 of the 126 a sector
// holds. The local analysis works on exactly that period, so DFT bin h of the
// 96 samples is harmonic order h.
#pragma once

#include <cstddef>

namespace orvanta {
namespace analysis {

constexpr int kPeriodSamples = 96;
constexpr int kFirstPeriodPair = 1;   // pairs 1..96 of a record
constexpr int kBins = kPeriodSamples / 2 + 1;  // bins 0..48 of a real transform

// Harmonic orders: 40 by default (the range EN 50160 and IEC 61000-4-7 name),
// any from 2 to 47 (the last order below half the sampling rate).
constexpr int kDefaultOrders = 40;
constexpr int kMinOrders = 2;
constexpr int kMaxOrders = 47;

// Arrays given to the transform start on this boundary, so that FFTW runs its
// SIMD code on them without a copy.
constexpr std::size_t kTransformAlignment = 64;

// A divisor at or below this makes a value undefined.
constexpr double kUndefinedBelow = 1e-9;

}  // namespace analysis
}  // namespace orvanta
