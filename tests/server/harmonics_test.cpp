// Harmonic analysis of synthetic records whose content is known.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "server/harmonics.h"

namespace orvanta::server {
namespace {

// 126 samples of one period: sum of amplitude * sin(order * t + phase), plus
// an offset, rounded to whole counts as the client sends them.
std::vector<std::int32_t> Record(const std::map<int, std::pair<double, double>>& harmonics, double offset = 0.0) {
    const double pi = std::acos(-1.0);
    std::vector<std::int32_t> samples;
    for (int k = 0; k < 126; ++k) {
        double v = offset;
        for (const auto& [order, ap] : harmonics) {
            v += ap.first * std::sin(2.0 * pi * order * k / 126.0 + ap.second);
        }
        samples.push_back(static_cast<std::int32_t>(std::lround(v)));
    }
    return samples;
}

TEST(AnalyseChannel, FindsKnownHarmonicPercentagesAndThd) {
    struct Case {
        const char* name;
        std::map<int, std::pair<double, double>> harmonics;  // order -> amplitude, phase
        double offset;
        std::map<int, double> percent;  // expected order -> percent of the fundamental
    };
    const Case cases[] = {
        {"fundamental 100 counts, 3rd 5%, 5th 3%, 7th 1%",
         {{1, {100.0, 0.0}}, {3, {5.0, 0.0}}, {5, {3.0, 0.0}}, {7, {1.0, 0.0}}}, 0.0,
         {{1, 100.0}, {2, 0.0}, {3, 5.0}, {5, 3.0}, {7, 1.0}, {9, 0.0}, {31, 0.0}}},
        {"shifted phases and a DC offset do not matter",
         {{1, {100.0, 0.7}}, {3, {5.0, -1.2}}, {5, {3.0, 2.5}}, {7, {1.0, 0.3}}}, -40.0,
         {{1, 100.0}, {3, 5.0}, {5, 3.0}, {7, 1.0}, {11, 0.0}}},
        {"large voltage record with even and high orders",
         {{1, {400.0, 0.0}}, {2, {8.0, 0.4}}, {11, {12.0, 1.0}}, {31, {4.0, 0.0}}}, 0.0,
         {{1, 100.0}, {2, 2.0}, {11, 3.0}, {31, 1.0}, {3, 0.0}}},
        {"pure sine", {{1, {200.0, 0.0}}}, 0.0, {{1, 100.0}, {3, 0.0}, {5, 0.0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChannelSpectrum s = AnalyseChannel(Record(c.harmonics, c.offset));
        ASSERT_TRUE(s.hasFundamental);
        ASSERT_EQ(s.percent.size(), static_cast<std::size_t>(kMaxHarmonicOrder + 1));
        double expectedDistortion = 0.0;
        for (const auto& [order, percent] : c.percent) {
            SCOPED_TRACE(order);
            EXPECT_NEAR(s.percent[order], percent, 0.5);
        }
        for (const auto& [order, ap] : c.harmonics) {
            if (order >= 2)
                expectedDistortion += (ap.first / c.harmonics.at(1).first) * (ap.first / c.harmonics.at(1).first);
        }
        EXPECT_NEAR(s.thdPercent, 100.0 * std::sqrt(expectedDistortion), 0.5);
        EXPECT_NEAR(s.amplitude[1], c.harmonics.at(1).first, 0.5);
        EXPECT_NEAR(s.amplitude[0], c.offset, 0.5);
    }
}

TEST(AnalyseChannel, ThdOfTheWorkedExampleIsSqrtOfSquares) {
    // 5%, 3% and 1%: THD = sqrt(25 + 9 + 1) = 5.92%.
    const ChannelSpectrum s =
        AnalyseChannel(Record({{1, {1000.0, 0.0}}, {3, {50.0, 0.0}}, {5, {30.0, 0.0}}, {7, {10.0, 0.0}}}));
    EXPECT_NEAR(s.thdPercent, 5.916, 0.05);
}

TEST(AnalyseChannel, RmsIsTheRootMeanSquareOfTheSamples) {
    struct Case {
        const char* name;
        std::vector<std::int32_t> samples;
        double rms;
    };
    const Case cases[] = {
        {"constant -505", std::vector<std::int32_t>(126, -505), 505.0},
        {"alternating 3 and -3", [] {
             std::vector<std::int32_t> v;
             for (int k = 0; k < 126; ++k) v.push_back(k % 2 ? -3 : 3);
             return v;
         }(), 3.0},
        {"sine of 100 counts", Record({{1, {100.0, 0.0}}}), 100.0 / std::sqrt(2.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(AnalyseChannel(c.samples).rmsCounts, c.rms, 0.1);
    }
}

TEST(AnalyseChannel, AFlatRecordHasNoFundamental) {
    // The record of a missing card: every sample the same.
    for (std::int32_t level : {0, -505, -508, 65029}) {
        SCOPED_TRACE(level);
        const ChannelSpectrum s = AnalyseChannel(std::vector<std::int32_t>(126, level));
        EXPECT_FALSE(s.hasFundamental);
        EXPECT_EQ(s.thdPercent, 0.0);
        EXPECT_NEAR(s.amplitude[0], level, 1e-9);
    }
}

TEST(AnalyseChannel, ExtremeSamplesStayFinite) {
    std::vector<std::int32_t> samples;
    for (int k = 0; k < 126; ++k) samples.push_back(k % 2 ? INT32_MIN : INT32_MAX);
    const ChannelSpectrum s = AnalyseChannel(samples);
    EXPECT_TRUE(std::isfinite(s.rmsCounts));
    for (double a : s.amplitude) EXPECT_TRUE(std::isfinite(a));
    EXPECT_TRUE(std::isfinite(s.thdPercent));
}

}  // namespace
}  // namespace orvanta::server
