// orvanta-card analyse as a user runs it, on a card image with two records
// written by hand among the synthetic ones: a voltage with 6 % 5th and 5 %
// 7th and a current in phase with it, and a record with one clipped sample.
// The header, the rows of a range, --harmonics and --orders, and the exit
// statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "card/local_time.h"
#include "cardimage/card_image.h"
#include "tests/tools/tool_test_support.h"

namespace orvanta {
namespace {

using tooltest::ProgramPath;
using tooltest::RunProgram;
using tooltest::RunResult;
using tooltest::TempDir;

const char kHeader[] =
    "\"time (local standard time, UTC+08:00)\",sector,v_rms (V),i_rms (A),v_thd_f (%),i_thd_f (%),v_thd_r (%),i_thd_r (%),"
    "p (W),s (VA),q1 (var),pf,dpf,v_crest,i_crest,i_k_factor,clipped";

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, by);) parts.push_back(part);
    if (!text.empty() && text.back() == by) parts.push_back("");
    return parts;
}

class AnalyseProgram : public ::testing::Test {
protected:
    void SetUp() override {
        contents_.records = 3000;
        const double pi = std::acos(-1.0);
        std::map<std::uint32_t, bool> special;  // sector -> clipped
        special[cardimage::PhysicalSectorOf(contents_, 1000)] = false;
        special[cardimage::PhysicalSectorOf(contents_, 1001)] = true;
        std::string error;
        ASSERT_TRUE(cardimage::WriteSparseImage(
            image_, contents_.sectors,
            [&](const cardimage::SectorSink& emit) {
                cardimage::GenerateCard(contents_, [&](std::uint32_t sector, const std::uint8_t* bytes) {
                    const auto found = special.find(sector);
                    if (found == special.end()) return emit(sector, bytes);
                    std::uint8_t copy[kSectorSize];
                    std::copy(bytes, bytes + kSectorSize, copy);
                    for (int pair = 0; pair < kSamplePairs; ++pair) {
                        const double t = 2.0 * pi * (pair - 1) / 96.0;
                        const double b = 400.0 * (std::sin(t) + 0.06 * std::sin(5 * t) + 0.05 * std::sin(7 * t));
                        const double a = 300.0 * std::sin(t);
                        cardimage::PutSamplePair(copy, pair, static_cast<std::uint16_t>(std::lround(509 + a)),
                                                 static_cast<std::uint16_t>(std::lround(509 + b)));
                    }
                    if (found->second) cardimage::PutSamplePair(copy, 40, 509 + 519, 509);
                    emit(sector, copy);
                });
            },
            &error))
            << error;
        times_ = cardimage::RecordTimes(contents_);
    }
    RunResult Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"analyse", "--drive", "E=" + image_});
        return RunProgram(ProgramPath("orvanta-card"), args, {"TZ=Asia/Shanghai"});
    }
    std::string At(std::uint32_t index) const { return FormatLocalStandard(times_[index]); }

    tooltest::ScopedTimeZone zone_{"Asia/Shanghai"};
    TempDir temp_;
    std::string image_ = temp_ / "card.img";
    cardimage::CardContents contents_;
    std::vector<std::int32_t> times_;
};

TEST_F(AnalyseProgram, WritesOneRowPerRecordOfTheRange) {
    const RunResult run = Run({"--from", At(999), "--to", At(1002), "--harmonics", "--orders", "7"});
    // (record 1001 is the one with the clipped sample)
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> lines = Split(run.output, '\n');
    ASSERT_EQ(lines.size(), 6u) << run.output;  // header, four records, the last line end
    std::string header = kHeader;
    for (const char* channel : {"v", "i"}) {
        for (int h = 1; h <= 7; ++h) header += std::string(",") + channel + "_h" + std::to_string(h) + (*channel == 'v' ? " (V)" : " (A)");
    }
    EXPECT_EQ(lines[0], header);
    for (std::uint32_t i = 0; i < 4; ++i) {
        const std::vector<std::string> f = Split(lines[1 + i], ',');
        ASSERT_EQ(f.size(), 17u + 14u) << lines[1 + i];
        EXPECT_EQ(f[0], At(999 + i));
        EXPECT_EQ(f[1], std::to_string(cardimage::PhysicalSectorOf(contents_, 999 + i)));
        EXPECT_EQ(f[16], i == 2 ? "1" : "0");
        if (i != 1) continue;
        // The hand-written record: whole counts, so the closed form holds to rounding.
        const double v1 = 400.0 / std::sqrt(2.0) * 2.531745;
        EXPECT_NEAR(std::stod(f[4]), 7.8102, 0.03);                          // v_thd_f
        EXPECT_NEAR(std::stod(f[11]), 1.0 / std::sqrt(1.0061), 1e-3);      // pf
        EXPECT_NEAR(std::stod(f[12]), 1.0, 1e-5);                          // dpf
        EXPECT_NEAR(std::stod(f[17]), v1, 1e-3 * v1);                      // v_h1
        EXPECT_NEAR(std::stod(f[21]), 0.06 * v1, 2e-3 * v1);               // v_h5
        EXPECT_NEAR(std::stod(f[2 + 1]), 300.0 / std::sqrt(2.0) * 0.019419, 0.1 * 0.019419);  // i_rms
        EXPECT_EQ(f[9].find_first_not_of("0123456789.e+-"), std::string::npos) << "%.9g: " << f[9];
    }
}

TEST_F(AnalyseProgram, ExitStatusTellsNoCardAndBadArgumentsApart) {
    TempDir other;
    cardimage::CardContents foreign;
    foreign.records = 20;
    foreign.presence = false;
    foreign.sectors = 200000;
    std::string error;
    ASSERT_TRUE(cardimage::WriteCardImage(other / "foreign.img", foreign, nullptr, &error)) << error;
    const struct {
        std::vector<std::string> args;
        int status;
        std::string output;  // standard output, when it is fixed
    } cases[] = {
        {{"--orders", "1"}, 2, ""},
        {{"--orders", "48"}, 2, ""},
        {{"--orders", "x"}, 2, ""},
        {{"--from", "2024-13-01 00:00:00"}, 2, ""},
        {{"--drive", "F=" + other / "foreign.img", "--drive", "G=/nonexistent"}, 1, ""},
        {{"--from", "2030-01-01 00:00:00"}, 0, std::string(kHeader) + "\n"},  // says why on standard error
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"analyse"};
        if (c.status != 1) args.insert(args.end(), {"--drive", "E=" + image_});
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult run = RunProgram(ProgramPath("orvanta-card"), args, {"TZ=Asia/Shanghai"});
        EXPECT_EQ(run.status, c.status) << c.args.back() << ": " << run.errors;
        EXPECT_EQ(run.output, c.output) << c.args.back();
        EXPECT_FALSE(run.errors.empty());
    }
}

}  // namespace
}  // namespace orvanta
