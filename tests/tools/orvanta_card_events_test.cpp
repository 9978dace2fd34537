// orvanta-card events as a user runs it, on a card image whose records carry
// the synthetic recorder's mains voltage (about 220 V) except for a dip and
// an interruption written in by hand: the CSV rows, the nominal voltage from
// the configuration file and from --nominal, a range, the header alone
// without events, and the exit statuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
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

const char kHeader[] = "kind,start,end,duration_s,extreme_v,records,ended";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class EventsProgram : public ::testing::Test {
protected:
    void SetUp() override {
        contents_.records = 20000;
        contents_.wrap = 5000;
        // Square waves of amplitude A on channel B give trunc(A * 2.531745 + 0.5) V:
        // 70 gives 177 V (a dip), 5 gives 13 V (an interruption).
        std::map<std::uint32_t, int> amplitudeOf;  // by record
        for (std::uint32_t i = 3000; i < 3010; ++i) amplitudeOf[i] = 70;
        for (std::uint32_t i = 15000; i < 15003; ++i) amplitudeOf[i] = 5;
        std::string error;
        ASSERT_TRUE(tooltest::WriteCardWithSquareWaves(image_, contents_, amplitudeOf, &error)) << error;
        times_ = cardimage::RecordTimes(contents_);
        std::filesystem::create_directory(config_ / "orvanta");
    }
    RunResult Run(std::vector<std::string> args, const std::vector<std::string>& environment = {}) const {
        args.insert(args.begin(), {"events", "--drive", "E=" + image_});
        std::vector<std::string> env{"TZ=Asia/Shanghai", "XDG_CONFIG_HOME=" + config_.Path()};
        env.insert(env.end(), environment.begin(), environment.end());
        return RunProgram(ProgramPath("orvanta-card"), args, env);
    }
    std::string At(std::uint32_t index) const { return FormatLocalStandard(times_[index]); }

    tooltest::ScopedTimeZone zone_{"Asia/Shanghai"};
    TempDir temp_;
    TempDir config_;  // $XDG_CONFIG_HOME: no configuration file unless a test writes one
    std::string image_ = temp_ / "card.img";
    cardimage::CardContents contents_;
    std::vector<std::int32_t> times_;
};

TEST_F(EventsProgram, WritesOneRowPerEventOfTheRange) {
    const std::string dip = "dip," + At(3000) + "," + At(3010) + ",10,177,10,1";
    const std::string cut = "interruption," + At(15000) + "," + At(15003) + ",3,13,3,1";
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string iniNominal;  // "": no configuration file
        std::vector<std::string> rows;
    } cases[] = {
        {"the whole card against the default 220 V", {}, "", {kHeader, dip, cut}},
        {"--nominal overrides the file", {"--nominal", "220"}, "400", {kHeader, dip, cut}},
        {"a range that ends inside the dip", {"--from", At(2000), "--to=" + At(3004)}, "",
         {kHeader, "dip," + At(3000) + "," + At(3004) + ",4,177,5,0"}},
        {"no events: the header alone", {"--from", At(4000), "--to", At(14000)}, "", {kHeader}},
        {"the file's nominalVoltage: every record of the range a dip", {"--from", At(100), "--to", At(199)}, "300",
         {kHeader}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        config_.WriteFile("orvanta/orvanta-vemlar.ini",
                          c.iniNominal.empty() ? "" : "[Common]\nnominalVoltage=" + c.iniNominal + "\n");
        const RunResult run = Run(c.args);
        ASSERT_EQ(run.status, 0) << run.errors;
        const std::vector<std::string> lines = Lines(run.output);
        if (c.iniNominal != "300") {
            EXPECT_EQ(lines, c.rows);
            continue;
        }
        // 220 V against 300 V: one dip over the range, open at its end.
        ASSERT_EQ(lines.size(), 2u);
        const std::string start = "dip," + At(100) + "," + At(199) + ",99,";
        EXPECT_EQ(lines[1].substr(0, start.size()), start);
        EXPECT_EQ(lines[1].substr(lines[1].size() - 6), ",100,0");
    }
}

TEST_F(EventsProgram, ExitStatusTellsNoCardAndBadArgumentsApart) {
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
    } cases[] = {
        {{"events", "--drive", "E=" + other / "foreign.img"}, 1},
        {{"events", "--drive", "E=" + image_, "--nominal", "0"}, 2},
        {{"events", "--drive", "E=" + image_, "--nominal", "220.5"}, 2},
        {{"events", "--drive", "E=" + image_, "--nominal"}, 2},
        {{"events", "--drive", "E=" + image_, "--to", "2024-13-01 00:00:00"}, 2},
        {{"events", "--drive", "E=" + image_, "--from", "2024-03-16 00:00:00", "--to", "2024-03-15 00:00:00"}, 2},
        {{"events", "--drive", "E=" + image_, "--bogus"}, 2},
    };
    for (const auto& c : cases) {
        const RunResult run = RunProgram(ProgramPath("orvanta-card"), c.args, {"TZ=Asia/Shanghai"});
        EXPECT_EQ(run.status, c.status) << c.args.back() << ": " << run.errors;
        EXPECT_FALSE(run.errors.empty());
    }
}

}  // namespace
}  // namespace orvanta
