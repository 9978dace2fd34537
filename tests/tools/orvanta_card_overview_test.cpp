// orvanta-card overview as a user runs it: the CSV's header and rows are the
// card overview's samples (ring order, oldest to newest or a time range,
// local standard time), ratio.txt in the working directory applies, and the
// exit statuses tell a missing card and bad arguments apart.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>

#include <memory>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "card/card_overview.h"
#include "card/card_reader.h"
#include "card/local_time.h"
#include "cardimage/card_image.h"
#include "platform/drive_map.h"
#include "tests/tools/tool_test_support.h"

namespace orvanta {
namespace {

using tooltest::ProgramPath;
using tooltest::RunProgram;
using tooltest::RunResult;
using tooltest::TempDir;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The rows the program must write: the overview of the same card, in process.
std::vector<std::string> ExpectedRows(const std::string& image, const OverviewRequest& request) {
    DriveMap map;
    std::string error;
    EXPECT_TRUE(DriveMap::FromArguments({"E=" + image}, &map, &error)) << error;
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);
    const OverviewResult result = CardOverview(reader).Scan(request);
    std::vector<std::string> rows{"\"time (local standard time, UTC+08:00)\",sector,trend_a (A),trend_b (V),rms_a (A),rms_b (V)"};
    for (const OverviewSample& s : result.samples) {
        std::string row = FormatLocalStandard(s.time) + "," + std::to_string(s.sector) + ",";
        row += s.hasPoint ? std::to_string(s.point.valueA) + "," + std::to_string(s.point.valueB) : ",";
        char rms[64] = ",,";
        if (s.hasRms) std::snprintf(rms, sizeof rms, ",%.4f,%.2f", s.rms.amperesA, s.rms.voltsB);
        rows.push_back(row + rms);
    }
    return rows;
}

// Runs the test's part in `dir` as working directory (where ratio.txt is read).
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : previous_(getcwd(nullptr, 0)) { EXPECT_EQ(chdir(dir.c_str()), 0); }
    ~InDirectory() {
        EXPECT_EQ(chdir(previous_), 0);
        free(previous_);
    }

private:
    char* previous_;
};

class OverviewProgram : public ::testing::Test {
protected:
    void SetUp() override {
        contents_.start = LocalFields{2024, 3, 15, 10, 0, 0};
        contents_.records = 20000;
        contents_.wrap = 5000;
        contents_.perSecond = {1, 2};
        contents_.gapEvery = 600;
        contents_.gapSeconds = 3600;
        std::string error;
        ASSERT_TRUE(cardimage::WriteCardImage(image_, contents_, &layout_, &error)) << error;
    }
    RunResult Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"overview", "--drive", "E=" + image_});
        return RunProgram(ProgramPath("orvanta-card"), args, {"TZ=Asia/Shanghai"});
    }

    tooltest::ScopedTimeZone zone_{"Asia/Shanghai"};
    TempDir temp_;
    std::string image_ = temp_ / "card.img";
    cardimage::CardContents contents_;
    cardimage::CardLayout layout_;
};

TEST_F(OverviewProgram, WritesTheOverviewAsCsvFromTheOldestToTheNewestRecord) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        OverviewRequest request;
        std::size_t rows;
    };
    const std::vector<std::int32_t> times = cardimage::RecordTimes(contents_);
    OverviewRequest whole;
    whole.points = 200;
    OverviewRequest range;  // across the wrap: records 14000 to 15500
    range.points = 2000;
    range.hasFrom = range.hasTo = true;
    range.from = times[14000];
    range.to = times[15500];
    const std::vector<Case> cases = {
        {"200 points", {"--points", "200"}, whole, 200},
        {"default 1000 points", {}, OverviewRequest(), 1000},
        {"a range across the wrap, every record", {"--points", "2000", "--from", FormatLocalStandard(range.from), "--to=" + FormatLocalStandard(range.to)},
         range, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult run = Run(c.args);
        ASSERT_EQ(run.status, 0) << run.errors;
        const std::vector<std::string> lines = Lines(run.output);
        EXPECT_EQ(lines, ExpectedRows(image_, c.request));
        ASSERT_GE(lines.size(), 2u);
        if (c.rows > 0) {
            EXPECT_EQ(lines.size(), c.rows + 1);
            EXPECT_EQ(lines[1].substr(0, 19), FormatLocalStandard(layout_.oldestTime));
            EXPECT_EQ(lines[1].substr(20, 6), std::to_string(layout_.ringStart));
            EXPECT_EQ(lines.back().substr(0, 19), FormatLocalStandard(layout_.newestTime));
        } else {
            // Every record from the first of the `from` second to the last of the `to` second.
            std::size_t first = 14000, last = 15500;
            while (first > 0 && times[first - 1] == range.from) --first;
            while (last + 1 < times.size() && times[last + 1] == range.to) ++last;
            EXPECT_EQ(lines.size(), last - first + 2);
            EXPECT_EQ(lines[1].substr(0, 19), FormatLocalStandard(range.from));
            EXPECT_EQ(lines.back().substr(0, 19), FormatLocalStandard(range.to));
        }
    }
}

TEST_F(OverviewProgram, RatioTxtInTheWorkingDirectoryScalesTheTrendValues) {
    const std::vector<std::string> plain = Lines(Run({"--points", "50"}).output);
    TempDir work;
    work.WriteFile("ratio.txt", "2.5 0.5\n");
    InDirectory in(work.Path());
    const RunResult run = Run({"--points", "50", "--out", "overview.csv"});
    ASSERT_EQ(run.status, 0) << run.errors;
    std::ifstream file(work / "overview.csv");
    std::stringstream text;
    text << file.rdbuf();
    const std::vector<std::string> scaled = Lines(text.str());
    OverviewRequest request;
    request.points = 50;
    EXPECT_EQ(scaled, ExpectedRows(image_, request));  // the reader here reads the same ratio.txt
    ASSERT_EQ(scaled.size(), plain.size());
    EXPECT_NE(scaled, plain);
}

TEST_F(OverviewProgram, ExitStatusTellsNoCardAndBadArgumentsApart) {
    TempDir temp;
    const std::string foreign = temp / "foreign.img";
    cardimage::CardContents contents;
    contents.records = 20;
    contents.presence = false;
    contents.sectors = 200000;
    std::string error;
    ASSERT_TRUE(cardimage::WriteCardImage(foreign, contents, nullptr, &error)) << error;
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"overview", "--drive", "E=" + foreign}, 1},
        {{"overview", "--drive", "E=" + image_, "--points", "0"}, 2},
        {{"overview", "--drive", "E=" + image_, "--from", "2024-13-01 00:00:00"}, 2},
        {{"overview", "--drive", "E=" + image_, "--from", "2024-03-16 00:00:00", "--to", "2024-03-15 00:00:00"}, 2},
        {{"overview", "--drive", "E=" + image_, "--bogus"}, 2},
        // No record in the range (after the newest one): said, nothing written.
        {{"overview", "--drive", "E=" + image_, "--from", "2030-01-01 00:00:00"}, 1},
        {{"overview", "--drive"}, 2},
    };
    for (const auto& c : cases) {
        const RunResult run = RunProgram(ProgramPath("orvanta-card"), c.args, {"TZ=Asia/Shanghai"});
        EXPECT_EQ(run.status, c.status) << c.args.back() << ": " << run.errors;
        EXPECT_FALSE(run.errors.empty());
        if (c.status != 0) {
            EXPECT_EQ(run.output, "") << c.args.back();
        }
    }
}

}  // namespace
}  // namespace orvanta
