// orvanta-card report as a user runs it: the JSON of one card read back
// against "analyse" and "events" over the same range (records, gaps,
// 10-minute values, percentiles, the events' table), and a batch over three
// images, one of them truncated, that goes on past it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
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

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        if (!line.empty() && line.back() == ',') fields.push_back("");
        rows.push_back(fields);
    }
    return rows;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text after "key": up to the next comma, brace or line end at depth 0.
std::string JsonValue(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return "";
    std::size_t begin = at + key.size() + 4, end = begin;
    int depth = 0;
    for (; end < json.size(); ++end) {
        const char c = json[end];
        if (c == '[' || c == '{') ++depth;
        if ((c == ']' || c == '}') && depth-- == 0) break;
        if ((c == ',' || c == '\n') && depth == 0) break;
    }
    return json.substr(begin, end - begin);
}

double NearestRank95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(std::ceil(0.95 * values.size())) - 1];
}

// A card with gaps, a dip (amplitude 70: 177 V) and an interruption
// (amplitude 5: 13 V) written in as square waves on channel B.
void WriteCard(const std::string& path, std::uint32_t serial, std::uint32_t records) {
    cardimage::CardContents contents;
    contents.records = records;
    contents.serial = serial;
    contents.gapEvery = 1500;
    contents.gapSeconds = 7;
    std::map<std::uint32_t, int> amplitudeOf;  // by record
    for (std::uint32_t i = 3000; i < 3010; ++i) amplitudeOf[i] = 70;
    for (std::uint32_t i = 5000; i < 5003; ++i) amplitudeOf[i] = 5;
    std::string error;
    ASSERT_TRUE(tooltest::WriteCardWithSquareWaves(path, contents, amplitudeOf, &error)) << error;
}

class ReportProgram : public ::testing::Test {
protected:
    RunResult Run(std::vector<std::string> args) const {
        return RunProgram(ProgramPath("orvanta-card"), args,
                          {"TZ=Asia/Shanghai", "XDG_CONFIG_HOME=" + temp_.Path(), "LANG=C"});
    }
    tooltest::ScopedTimeZone zone_{"Asia/Shanghai"};
    TempDir temp_;
};

TEST_F(ReportProgram, JsonAgreesWithAnalyseAndEventsOverTheSameRange) {
    const std::string image = temp_ / "card.img";
    WriteCard(image, 4242, 8000);
    const std::vector<std::string> range = {"--drive", "E=" + image, "--from", "2024-03-15 10:20:00",
                                            "--to", "2024-03-15 12:00:00"};
    std::vector<std::string> report = {"report", "--nominal", "220", "--html", temp_ / "r.html", "--json",
                                       temp_ / "r.json"};
    report.insert(report.end(), range.begin(), range.end());
    const RunResult made = Run(report);
    ASSERT_EQ(made.status, 0) << made.errors;
    const std::string json = ReadAll(temp_ / "r.json");

    std::vector<std::string> analyse = {"analyse"}, events = {"events", "--nominal", "220"};
    analyse.insert(analyse.end(), range.begin(), range.end());
    events.insert(events.end(), range.begin(), range.end());
    const RunResult a = Run(analyse), e = Run(events);
    ASSERT_EQ(a.status, 0) << a.errors;
    ASSERT_EQ(e.status, 0) << e.errors;

    // Records, first, last and gaps from analyse's rows; 10-minute values by
    // their "YYYY-MM-DD HH:M" prefix (local standard time).
    std::vector<std::vector<std::string>> rows = CsvRows(a.output);
    rows.erase(rows.begin());
    ASSERT_GT(rows.size(), 3000u);
    std::map<std::string, std::pair<double, int>> v, thd;
    std::uint64_t gaps = 0, gapSeconds = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string key = rows[i][0].substr(0, 15);
        const double volts = std::stod(rows[i][2]);
        v[key].first += volts * volts;
        ++v[key].second;
        if (!rows[i][4].empty()) {
            const double t = std::stod(rows[i][4]);
            thd[key].first += t * t;
            ++thd[key].second;
        }
        if (i == 0) continue;
        LocalFields before, now;
        ASSERT_TRUE(ParseLocalFields(rows[i - 1][0], &before) && ParseLocalFields(rows[i][0], &now));
        const std::int32_t step = LocalStandardTime(now) - LocalStandardTime(before);
        if (step > 2) ++gaps, gapSeconds += step;
    }
    std::vector<double> v10, thd10;
    for (const auto& [key, sum] : v) v10.push_back(std::sqrt(sum.first / sum.second));
    for (const auto& [key, sum] : thd) thd10.push_back(std::sqrt(sum.first / sum.second));

    EXPECT_EQ(JsonValue(json, "records"), std::to_string(rows.size()));
    EXPECT_EQ(JsonValue(json, "first"), "\"" + rows.front()[0] + "\"");
    EXPECT_EQ(JsonValue(json, "last"), "\"" + rows.back()[0] + "\"");
    EXPECT_EQ(JsonValue(json, "intervals"), std::to_string(v.size()));
    EXPECT_EQ(JsonValue(json, "gaps"), "{\"count\": " + std::to_string(gaps) + ", \"seconds\": " +
                                           std::to_string(gapSeconds) + "}");
    EXPECT_GT(gaps, 0u);
    const struct {
        const char* key;
        double expected;
    } figures[] = {
        {"v10_min", *std::min_element(v10.begin(), v10.end())},
        {"v10_max", *std::max_element(v10.begin(), v10.end())},
        {"v_thd_f_p95", NearestRank95(thd10)},
    };
    for (const auto& f : figures) {
        EXPECT_NEAR(std::stod(JsonValue(json, f.key)), f.expected, 1e-7 * f.expected) << f.key;
    }

    // The events' table from events' rows: u = 100 extreme / 220.
    std::vector<std::vector<std::string>> found = CsvRows(e.output);
    found.erase(found.begin());
    ASSERT_EQ(found.size(), 2u) << e.output;
    int dips[5][4] = {};
    int shortCuts = 0;
    for (const auto& row : found) {
        const double u = 100.0 * std::stoi(row[4]) / 220.0;
        const int d = std::stoi(row[3]);
        const int r = u >= 80 ? 0 : u >= 70 ? 1 : u >= 40 ? 2 : u >= 5 ? 3 : 4;
        const int c = d <= 1 ? 0 : d <= 5 ? 1 : d <= 60 ? 2 : 3;
        ++dips[r][c];
        if (row[0] == "interruption" && d <= 180) ++shortCuts;
    }
    std::string table = "[";
    for (int r = 0; r < 5; ++r) {
        table += r ? ",[" : "[";
        for (int c = 0; c < 4; ++c) table += (c ? "," : "") + std::to_string(dips[r][c]);
        table += "]";
    }
    EXPECT_EQ(JsonValue(json, "dips"), table + "]");
    EXPECT_EQ(JsonValue(json, "swells"), "[[0,0,0,0],[0,0,0,0]]");
    EXPECT_EQ(JsonValue(json, "interruptions_short"), std::to_string(shortCuts));
    EXPECT_EQ(JsonValue(json, "interruptions_long"), "0");
    EXPECT_EQ(JsonValue(json, "serial"), "4242");

    // The page: Chinese under LANG=C, its list holds both events, and the note on the basis.
    const std::string html = ReadAll(temp_ / "r.html");
    EXPECT_NE(html.find("lang=\"zh-CN\""), std::string::npos);
    EXPECT_NE(html.find("<svg"), std::string::npos);
    EXPECT_NE(html.find(found[0][1]), std::string::npos);
    EXPECT_NE(html.find("IEC 61000-4-30 A 级"), std::string::npos);
}

TEST_F(ReportProgram, BatchGoesOnPastADamagedImage) {
    WriteCard(temp_ / "one.img", 1001, 3000);
    WriteCard(temp_ / "two.img", 1002, 6000);
    // A card cut short: the file ends long before its test sectors.
    WriteCard(temp_ / "cut.img", 1003, 3000);
    std::filesystem::resize_file(temp_ / "cut.img", 512 * 1000);
    const std::string out = temp_ / "out";
    const RunResult run = Run({"report", "--lang", "en", "--il", "50", "--batch", out, temp_ / "one.img",
                               temp_ / "cut.img", temp_ / "two.img"});
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.errors.find("3 of 3"), std::string::npos) << run.errors;

    const std::vector<std::vector<std::string>> rows = CsvRows(ReadAll(out + "/summary.csv"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"image", "serial", "first", "last", "records", "en50160_voltage",
                                                 "en50160_thd", "en50160_harmonics", "ieee519_voltage_thd",
                                                 "ieee519_voltage_harmonics", "ieee519_tdd", "cause"}));
    const struct {
        const char* image;
        const char* serial;
        const char* records;
        bool reported;
    } expected[] = {{"one.img", "1001", "3000", true}, {"cut.img", "", "", false}, {"two.img", "1002", "6000", true}};
    for (int i = 0; i < 3; ++i) {
        const std::vector<std::string>& row = rows[i + 1];
        ASSERT_EQ(row.size(), 12u);
        EXPECT_EQ(row[0], temp_ / expected[i].image);
        EXPECT_EQ(row[1], expected[i].serial);
        EXPECT_EQ(row[4], expected[i].records);
        EXPECT_EQ(row[11].empty(), expected[i].reported) << row[11];
        const std::string stem = std::string(expected[i].image).substr(0, 3);
        EXPECT_EQ(std::filesystem::exists(out + "/" + stem + ".json"), expected[i].reported);
        for (int c = 5; c <= 10; ++c) {
            EXPECT_TRUE(expected[i].reported ? (row[c] == "met" || row[c] == "not met") : row[c].empty()) << row[c];
        }
    }
    const std::string json = ReadAll(out + "/two.json");
    EXPECT_NE(JsonValue(json, "tdd_p95"), "");
    EXPECT_NE(ReadAll(out + "/summary.html").find("no card found"), std::string::npos);
    EXPECT_NE(ReadAll(out + "/one.html").find("lang=\"en\""), std::string::npos);
}

}  // namespace
}  // namespace orvanta
