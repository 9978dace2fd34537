// Harmonic analysis of one record: the 126 samples of a channel are taken as
// exactly one period of the fundamental, so DFT bin h is harmonic order h.
#pragma once

#include <cstdint>
#include <vector>

#include "card/card_layout.h"

namespace orvanta::server {

constexpr int kMaxHarmonicOrder = 31;

// Scale factors from zero-corrected counts to physical units.
constexpr double kVoltsPerCount = kTrendScaleB;    // channel B
constexpr double kAmperesPerCount = kTrendScaleA;  // channel A

struct ChannelSpectrum {
    // Peak amplitude of each order in counts; index 0 is the mean (DC),
    // indices 1 to kMaxHarmonicOrder the harmonic orders.
    std::vector<double> amplitude;
    // Amplitude of each order in percent of the fundamental (index 1 is 100);
    // only meaningful when hasFundamental.
    std::vector<double> percent;
    // False when the fundamental is practically zero (a flat record): then no
    // percentages and no THD can be given.
    bool hasFundamental = false;
    // sqrt(sum of squared amplitudes of orders 2..31) / fundamental, in percent.
    double thdPercent = 0.0;
    // Root mean square of the samples, in counts (DC included).
    double rmsCounts = 0.0;
};

// The spectrum of one channel's record. Any number of samples works (the
// whole record is one period); fewer than 2 * kMaxHarmonicOrder + 1 samples
// leave the orders above half the sample count at 0.
ChannelSpectrum AnalyseChannel(const std::vector<std::int32_t>& samples);

}  // namespace orvanta::server
