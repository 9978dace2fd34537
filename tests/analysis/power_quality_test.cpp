// Closed-form signals through the power-quality analysis, a record sector's
// period, and the direct transform against FFTW's.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <random>

#include "analysis/power_quality.h"
#include "card/card_layout.h"

namespace orvanta::analysis {
namespace {

const double kPi = std::acos(-1.0);

// order -> (peak, phase in radians) of a sine sum over one 96-sample period.
using Sines = std::map<int, std::pair<double, double>>;

std::array<double, kPeriodSamples> Wave(const Sines& sines, double offset = 0.0) {
    std::array<double, kPeriodSamples> x{};
    for (int n = 0; n < kPeriodSamples; ++n) {
        x[n] = offset;
        for (const auto& [order, sine] : sines) x[n] += sine.first * std::sin(2.0 * kPi * order * n / 96.0 + sine.second);
    }
    return x;
}

PeriodSamples Period(const Sines& volts, const Sines& amperes) {
    PeriodSamples p;
    p.volts = Wave(volts);
    p.amperes = Wave(amperes);
    return p;
}

TEST(PowerQuality, ClosedFormSignals) {
    const double v1 = 311.0;  // peaks
    const double i1 = 10.0;
    const double vr = v1 / std::sqrt(2.0);
    const double ir = i1 / std::sqrt(2.0);
    struct Case {
        const char* name;
        PeriodSamples period;
        std::optional<double> vThdF, iThdF, pf, dpf, kFactor;
        double q1;
    };
    const Case cases[] = {
        {"6 % 5th and 5 % 7th", Period({{1, {v1, 0}}, {5, {0.06 * v1, 0.3}}, {7, {0.05 * v1, 1.0}}}, {{1, {i1, 0}}}),
         100.0 * std::sqrt(0.06 * 0.06 + 0.05 * 0.05), 0.0, 1.0 / std::sqrt(1.0061), 1.0, 1.0, 0.0},
        {"in phase", Period({{1, {v1, 0.4}}}, {{1, {i1, 0.4}}}), 0.0, 0.0, 1.0, 1.0, 1.0, 0.0},
        {"current lags 90°", Period({{1, {v1, 0}}}, {{1, {i1, -kPi / 2}}}), 0.0, 0.0, 0.0, 0.0, 1.0, vr * ir},
        {"current leads 60°", Period({{1, {v1, 0}}}, {{1, {i1, kPi / 3}}}), 0.0, 0.0, 0.5, 0.5, 1.0,
         -vr * ir * std::sin(kPi / 3)},
        {"30 % 3rd in the current", Period({{1, {v1, 0}}}, {{1, {i1, 0}}, {3, {0.3 * i1, 0}}}), 0.0, 30.0,
         1.0 / std::sqrt(1.09), 1.0, (1 + 9 * 0.09) / 1.09, 0.0},
        {"flat record", Period({}, {}), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0.0},
    };
    const CPowerQualityAnalyser analyser;
    PowerQuality reused;  // analysed into case after case, as a range scan does
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PowerQuality q = analyser.Analyse(c.period);
        analyser.Analyse(c.period, &reused);
        EXPECT_EQ(reused.dpf, q.dpf);
        EXPECT_EQ(reused.voltage.thdF, q.voltage.thdF);
        EXPECT_EQ(reused.kFactor, q.kFactor);
        const auto expect = [](const std::optional<double>& got, const std::optional<double>& want, const char* what) {
            SCOPED_TRACE(what);
            ASSERT_EQ(got.has_value(), want.has_value());
            if (want) {
                EXPECT_NEAR(*got, *want, 1e-9 * std::max(1.0, std::fabs(*want)));
            }
        };
        expect(q.voltage.thdF, c.vThdF, "v thd_f");
        expect(q.current.thdF, c.iThdF, "i thd_f");
        expect(q.pf, c.pf, "pf");
        expect(q.dpf, c.dpf, "dpf");
        expect(q.kFactor, c.kFactor, "k-factor");
        EXPECT_NEAR(q.q1, c.q1, 1e-9 * vr * ir);
        EXPECT_FALSE(q.clipped);
        if (c.vThdF) {
            // thd_r is thd_f measured against the whole RMS instead of the fundamental.
            const double f = *c.vThdF / 100.0;
            EXPECT_NEAR(*q.voltage.thdR, 100.0 * f / std::sqrt(1.0 + f * f), 1e-9);
            EXPECT_NEAR(q.voltage.harmonic[1], vr, 1e-9 * vr);
        }
    }
    EXPECT_NEAR(*analyser.Analyse(cases[0].period).voltage.thdF, 7.8102, 5e-5);
}

TEST(PowerQuality, RmsCrestAndPowerOfASquareAndASine) {
    PeriodSamples p;
    for (int n = 0; n < kPeriodSamples; ++n) p.volts[n] = n < 48 ? 200.0 : -200.0;
    p.amperes = Wave({{1, {4.0, 0.0}}}, 1.5);
    const PowerQuality q = CPowerQualityAnalyser(47).Analyse(p);
    EXPECT_EQ(q.orders, 47);
    EXPECT_NEAR(q.voltage.rms, 200.0, 1e-9);
    EXPECT_NEAR(*q.voltage.crest, 1.0, 1e-12);
    const double iRms = std::sqrt(1.5 * 1.5 + 8.0);
    EXPECT_NEAR(q.current.rms, iRms, 1e-12);
    EXPECT_NEAR(*q.current.crest, 5.5 / iRms, 1e-12);
    EXPECT_NEAR(q.current.harmonic[0], 1.5, 1e-12);
    EXPECT_NEAR(q.s, 200.0 * iRms, 1e-9);
    // Only the square wave's fundamental meets the sine (the current's mean
    // meets the square's zero mean): p = V_1 * I_1 * dpf.
    EXPECT_NEAR(q.p, q.voltage.harmonic[1] * q.current.harmonic[1] * *q.dpf, 1e-9 * q.s);
}

// A record sector with the given raw counts in pairs 1..96 (and pair 0 and
// 97..125 far off, to show they are not read).
std::array<unsigned char, kSectorSize> Sector(unsigned a, unsigned b, int oddPair = -1, unsigned oddA = 0) {
    std::array<unsigned char, kSectorSize> s{};
    s[0] = kRecordMarker;
    for (int pair = 0; pair < kSamplePairs; ++pair) {
        const bool inPeriod = pair >= 1 && pair <= 96;
        unsigned va = inPeriod ? a : 4000;
        const unsigned vb = inPeriod ? b : 4000;
        if (pair == oddPair) va = oddA;
        unsigned char* at = s.data() + kFirstPairOffset + kBytesPerPair * pair;
        at[0] = va & 0xff, at[1] = va >> 8, at[2] = vb & 0xff, at[3] = vb >> 8;
    }
    return s;
}

TEST(RecordPeriod, ScalesPairsOneTo96AndFlagsClipping) {
    struct Case {
        const char* name;
        std::array<unsigned char, kSectorSize> sector;
        double ratioA, ratioB;
        double amperes, volts;  // of every sample but the odd one
        bool clipped;
    };
    const Case cases[] = {
        {"zero levels", Sector(506, 509), 1.0, 1.0, (506 - 506.3) * 0.019419, 0.0, false},
        {"ratios", Sector(600, 600), 2.0, 0.5, (600 - 506.3) * 2.0 * 0.019419, (600 - 509.0) * 0.5 * 2.531745, false},
        {"518 off is inside", Sector(509 + 518, 509 + 518), 1.0, 1.0, (1027 - 506.3) * 0.019419, 518 * 2.531745,
         false},
        {"one sample 519 off", Sector(509, 509, 50, 509 + 519), 1.0, 1.0, (509 - 506.3) * 0.019419, 0.0, true},
        {"a clipped sample outside the period", Sector(509, 509, 97, 65535), 1.0, 1.0, (509 - 506.3) * 0.019419, 0.0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PeriodSamples p;
        CRecordPeriod(c.ratioA, c.ratioB).Take(c.sector.data(), &p);
        EXPECT_EQ(p.clipped, c.clipped);
        EXPECT_DOUBLE_EQ(p.amperes[0], c.amperes);
        EXPECT_DOUBLE_EQ(p.volts[95], c.volts);
        EXPECT_EQ(CPowerQualityAnalyser().Analyse(p).clipped, c.clipped);
    }
}

#ifdef ORVANTA_HAVE_FFTW
TEST(PeriodTransform, DirectBinsEqualFftwsToOnePartInATrillion) {
    const auto direct = MakeDirectTransform();
    const auto fftw = MakeFftwTransform();
    std::mt19937 random(28);
    std::uniform_real_distribution<double> counts(-518.0, 518.0);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        double x[kPeriodSamples];
        for (double& v : x) v = counts(random) * (round % 2 ? 2.531745 : 0.019419);
        std::complex<double> a[kBins];
        std::complex<double> b[kBins];
        direct->Forward(x, a);
        fftw->Forward(x, b);
        double largest = 0.0;
        for (const auto& bin : b) largest = std::max(largest, std::abs(bin));
        for (int h = 0; h < kBins; ++h) EXPECT_LE(std::abs(a[h] - b[h]), 1e-12 * largest) << "bin " << h;
        PeriodSamples p;
        std::copy(x, x + kPeriodSamples, p.volts.begin());
        std::copy(x, x + kPeriodSamples, p.amperes.begin());
        const PowerQuality qa = CPowerQualityAnalyser(kMaxOrders, direct).Analyse(p);
        const PowerQuality qb = CPowerQualityAnalyser(kMaxOrders, fftw).Analyse(p);
        EXPECT_NEAR(*qa.voltage.thdF, *qb.voltage.thdF, 1e-12 * *qb.voltage.thdF);
        EXPECT_NEAR(*qa.kFactor, *qb.kFactor, 1e-12 * *qb.kFactor);
    }
}
#endif

}  // namespace
}  // namespace orvanta::analysis
