// What the windows take from the analysis: the strip's quantities filled in
// the overview's own scan, the choice of quantity, and the local analysis
// page of the record shown.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "analysis/strip_quality.h"
#include "cardimage/card_image.h"
#include "dialogcore/local_analysis_page.h"
#include "dialogcore/overview_quantity.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using cardtest::CardOnE;
using cardtest::RingLayout;
using cardtest::SectorBytes;

void FillSyntheticSamples(std::uint32_t index, SectorBytes& sector) {
    std::uint16_t a[kSamplePairs];
    std::uint16_t b[kSamplePairs];
    cardimage::BuildSamples(index, a, b);
    for (int pair = 0; pair < kSamplePairs; ++pair) cardtest::SetSamplePair(sector, pair, a[pair], b[pair]);
}

// The synthetic recorder's harmonics (cardimage): order, voltage and current
// amplitude relative to the fundamental, and their sine phases.
struct Order {
    int h;
    double v, vPhase, i, iPhase;
};
const Order kSynthetic[] = {{1, 1.0, 0.0, 1.0, -0.45},
                            {3, 0.030, 0.4, 0.14, -0.9},
                            {5, 0.045, 1.1, 0.09, 0.6},
                            {7, 0.020, 2.0, 0.05, -1.7}};

TEST(StripQuality, TheOverviewScanFillsThdAndPowerFactorOfEachSample) {
    cardtest::ScopedTimeZone zone("Asia/Shanghai");
    CardOnE card;
    cardtest::WriteRing(card.disk, cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0), 3000, 1, 0, 100000,
                        FillSyntheticSamples);
    double vDistortion = 0, iDistortion = 0, product = 0, vSquares = 0, iSquares = 0;
    for (const Order& o : kSynthetic) {
        if (o.h > 1) vDistortion += o.v * o.v, iDistortion += o.i * o.i;
        product += o.v * o.i * std::cos(o.vPhase - o.iPhase);
        vSquares += o.v * o.v;
        iSquares += o.i * o.i;
    }
    CCardReader& reader = card.Reader();
    CardOverview overview(reader);
    analysis::EnableStripQuality(overview, reader);
    OverviewRequest request;
    request.points = 50;
    const OverviewResult result = overview.Scan(request);
    ASSERT_EQ(result.status, OverviewStatus::kDone);
    ASSERT_EQ(result.samples.size(), 50u);
    for (const OverviewSample& sample : result.samples) {
        // Whole counts: the closed form holds to about a count in a hundred.
        ASSERT_TRUE(sample.voltageThdF && sample.currentThdF && sample.powerFactor);
        EXPECT_NEAR(*sample.voltageThdF, 100.0 * std::sqrt(vDistortion), 0.5);
        EXPECT_NEAR(*sample.currentThdF, 100.0 * std::sqrt(iDistortion), 1.0);
        EXPECT_NEAR(*sample.powerFactor, product / std::sqrt(vSquares * iSquares), 0.01);
        EXPECT_EQ(QuantityValue(sample, OverviewQuantity::kPowerFactor), sample.powerFactor);
        EXPECT_EQ(QuantityValue(sample, OverviewQuantity::kVoltageRms), sample.rms.voltsB);
    }
    // Without the hook the scan leaves them unset, as it always has.
    const OverviewResult plain = CardOverview(reader).Scan(request);
    ASSERT_FALSE(plain.samples.empty());
    EXPECT_FALSE(plain.samples[0].voltageThdF.has_value());
    EXPECT_FALSE(QuantityValue(plain.samples[0], OverviewQuantity::kCurrentThdF).has_value());
}

TEST(OverviewQuantity, EachChoiceIsRememberedByItsKey) {
    for (OverviewQuantity q : kOverviewQuantities) {
        EXPECT_EQ(QuantityOfKey(QuantityKey(q)), q);
        EXPECT_NE(QuantityCaption(UiLanguage::kChinese, q), QuantityCaption(UiLanguage::kEnglish, q));
    }
    EXPECT_EQ(QuantityOfKey("something else"), OverviewQuantity::kVoltageRms);
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

std::string CellText(const std::string& page, const std::string& id) {
    std::smatch m;
    return std::regex_search(page, m, std::regex("id=\"" + id + "\">([^<]*)<")) ? m[1].str() : std::string();
}

TEST(LocalAnalysisPage, ShowsTheShownRecordsPeriodInEitherLanguage) {
    cardtest::ScopedTimeZone zone("Asia/Shanghai");
    CardOnE card;
    const double pi = std::acos(-1.0);
    const RingLayout layout = cardtest::WriteRing(
        card.disk, cardtest::TimeOfFields(2024, 3, 15, 10, 0, 0), 100, 1, 0, 100000,
        [pi](std::uint32_t index, SectorBytes& sector) {
            for (int pair = 0; pair < kSamplePairs; ++pair) {
                const double t = 2.0 * pi * (pair - 1) / 96.0;
                const double b = index == 40 ? 0.0 : 300.0 * (std::sin(t) + 0.06 * std::sin(5 * t) + 0.05 * std::sin(7 * t));
                cardtest::SetSamplePair(sector, pair, static_cast<std::uint16_t>(std::lround(509 + 200 * std::sin(t))),
                                        static_cast<std::uint16_t>(std::lround(509 + b)));
            }
        });
    CCardReader& reader = card.Reader();
    const struct {
        std::uint32_t index;
        UiLanguage language;
        const char* heading;
        bool flat;
    } cases[] = {
        {30, UiLanguage::kChinese, "本地分析：由本计算机根据该记录的一个周期计算，不是分析服务器的结果", false},
        {30, UiLanguage::kEnglish,
         "Local analysis: computed on this computer from one period of the record, not by the analysis server", false},
        {40, UiLanguage::kEnglish, "Local analysis", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        reader.QueryCard(layout.TimeOf(c.index));
        ShownRecord record;
        ASSERT_TRUE(ReadShownRecord(reader, &record));
        EXPECT_EQ(record.sector, layout.PhysicalOf(c.index));
        EXPECT_EQ(record.time, layout.TimeOf(c.index));
        const std::string page = LocalAnalysisPage(c.language, record);
        EXPECT_NE(page.find(c.heading), std::string::npos);
        EXPECT_EQ(Count(page, "class=\"marked-span\""), 1u);  // the period on the waveform
        EXPECT_EQ(Count(page, "<tr><td>"), 40u);              // the harmonics table, to 40
        EXPECT_EQ(Count(page, "<svg"), c.flat ? 2u : 3u);     // waveform and the charts of the harmonics
        if (c.flat) {
            EXPECT_EQ(CellText(page, "v-thd-f"), "—");
            EXPECT_EQ(CellText(page, "pf"), "—");
        } else {
            EXPECT_NEAR(std::stod(CellText(page, "v-thd-f")), 7.81, 0.05);
            EXPECT_EQ(CellText(page, "dpf"), "1.0000");
        }
    }
    // Below another page's text, before its end.
    const std::string section = LocalAnalysisSection(UiLanguage::kChinese, ShownRecord(), 2);
    EXPECT_EQ(WithLocalAnalysis("<html><body><p>x</p></body></html>", section),
              "<html><body><p>x</p>" + section + "</body></html>");
    // No record found: nothing to analyse.
    reader.QueryCard(layout.TimeOf(99) + 3600);
    reader.actualTime = 0;
    ShownRecord none;
    EXPECT_FALSE(ReadShownRecord(reader, &none));
}

}  // namespace
}  // namespace orvanta
