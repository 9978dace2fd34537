// orvanta-card as a user runs it: create a card image, then info reports the
// drive, the presence check, the serial, the ring bounds and the oldest and
// newest record exactly as written; bad arguments end with status 2.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "card/local_time.h"
#include "tests/tools/tool_test_support.h"
#include "cardimage/card_image.h"

namespace orvanta {
namespace {

using tooltest::KeyValues;
using tooltest::ProgramPath;
using tooltest::RunProgram;
using tooltest::RunResult;
using tooltest::TempDir;

const std::string& Tool() {
    static const std::string path = ProgramPath("orvanta-card");
    return path;
}

TEST(OrvantaCardRoundTrip, InfoReportsTheRingThatCreateWrote) {
    struct Case {
        const char* name;
        const char* zone;
        std::vector<std::string> options;
        std::map<std::string, std::string> expected;
    };
    const std::vector<Case> cases = {
        {"wrapped, one record per second",
         "Asia/Shanghai",
         {"--records", "50000", "--wrap", "200", "--serial", "123456", "--device-byte", "7"},
         {{"presence check", "passed"},
          {"serial", "123456"},
          {"device byte", "7"},
          {"ring start", "100200"},
          {"upper sector", "149999"},
          {"ring count", "50000"},
          {"wrapped", "yes"},
          {"oldest record", "2024-03-15 10:00:00 (sector 100200)"},
          {"newest record", "2024-03-15 23:53:19 (sector 100199)"}}},
        {"not wrapped, three per second, summer in a zone with daylight saving",
         "Europe/Berlin",
         {"--records=500", "--per-second=3", "--start=2023-07-01 08:00:00", "--serial=0x80000001",
          "--device-byte=255"},
         {{"presence check", "passed"},
          {"serial", "2147483649 (device record: -2147483647)"},
          {"device byte", "255"},
          {"ring start", "100000"},
          {"upper sector", "100499"},
          {"ring count", "500"},
          {"wrapped", "no"},
          {"oldest record", "2023-07-01 08:00:00 (sector 100000)"},
          {"newest record", "2023-07-01 08:02:46 (sector 100499)"}}},
        {"wrapped, 1,3,2 per second with gaps, a small card",
         "Asia/Shanghai",
         {"--records", "3000", "--wrap", "1000", "--per-second", "1,3,2", "--gap-every", "10", "--gap-seconds",
          "50", "--start", "2025-12-31 23:59:00", "--sectors", "200000"},
         // The oldest of the 2000 records of the previous pass lies behind
         // the 1000 of the current pass.
         {{"ring start", "101000"},
          {"upper sector", "102999"},
          {"ring count", "3000"},
          {"wrapped", "yes"},
          {"oldest record", "2025-12-31 23:59:00 (sector 101000)"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir temp;
        const std::string image = temp / "card.img";
        std::vector<std::string> createArgs{"create", image};
        createArgs.insert(createArgs.end(), c.options.begin(), c.options.end());
        RunResult created = RunProgram(Tool(), createArgs, {std::string("TZ=") + c.zone});
        ASSERT_EQ(created.status, 0) << created.errors;

        RunResult info = RunProgram(Tool(), {"info", "--drive", "G=" + image}, {std::string("TZ=") + c.zone});
        ASSERT_EQ(info.status, 0) << info.errors;
        std::map<std::string, std::string> values = KeyValues(info.output);
        EXPECT_EQ(values["card"], "drive G: (\\\\.\\G:) -> " + image);
        for (const auto& expected : c.expected) {
            EXPECT_EQ(values[expected.first], expected.second) << expected.first << "\n" << info.output;
        }
        // create's own summary agrees with what info found.
        std::map<std::string, std::string> summary = KeyValues(created.output);
        for (const char* key : {"ring start", "upper sector", "ring count", "wrapped", "oldest record",
                                "newest record", "serial", "device byte"}) {
            if (std::string(key) == "serial") {
                EXPECT_EQ(values[key].substr(0, summary[key].size()), summary[key]);
            } else {
                EXPECT_EQ(values[key], summary[key]) << key;
            }
        }
    }
}

TEST(OrvantaCardRoundTrip, NewestRecordOfAPatternedCardMatchesTheRecordClock) {
    tooltest::ScopedTimeZone zone("Asia/Shanghai");
    TempDir temp;
    const std::string image = temp / "card.img";
    RunResult created = RunProgram(Tool(),
                            {"create", image, "--records", "3000", "--wrap", "1000", "--per-second", "1,3,2",
                             "--gap-every", "10", "--gap-seconds", "50", "--start", "2025-12-31 23:59:00",
                             "--sectors", "200000"},
                            {"TZ=Asia/Shanghai"});
    ASSERT_EQ(created.status, 0) << created.errors;
    cardimage::CardContents contents;
    contents.records = 3000;
    contents.wrap = 1000;
    contents.perSecond = {1, 3, 2};
    contents.gapEvery = 10;
    contents.gapSeconds = 50;
    contents.start = LocalFields{2025, 12, 31, 23, 59, 0};
    std::vector<std::int32_t> times = cardimage::RecordTimes(contents);
    // The previous pass: 2000 records at 1,3,2 per second fill 1001 seconds
    // (333 cycles of 6 records, then 1 and 1); a gap of 50 s follows every
    // 10 of them, so the 2000th record lies 1000 + 100 * 50 seconds after
    // the first. The current pass begins one second later.
    EXPECT_EQ(times[1999] - times[0], 1000 + 100 * 50);
    EXPECT_EQ(times[2000], times[1999] + 1);

    RunResult info = RunProgram(Tool(), {"info", "--drive=e=" + image}, {"TZ=Asia/Shanghai"});
    ASSERT_EQ(info.status, 0) << info.errors;
    EXPECT_EQ(KeyValues(info.output)["newest record"], FormatLocalStandard(times.back()) + " (sector 100999)");
}

TEST(OrvantaCardCreate, TheImageIsSparseAndHasTheFullCardSize) {
    TempDir temp;
    const std::string image = temp / "card.img";
    RunResult created = RunProgram(Tool(), {"create", image, "--records", "2000"}, {"TZ=Asia/Shanghai"});
    ASSERT_EQ(created.status, 0) << created.errors;
    struct stat st;
    ASSERT_EQ(::stat(image.c_str(), &st), 0);
    EXPECT_EQ(static_cast<unsigned long long>(st.st_size), 60000001ULL * 512);
    // Only the written sectors take space: far below the 30 GB of the card.
    EXPECT_LT(static_cast<unsigned long long>(st.st_blocks) * 512, 64ULL << 20);
}

TEST(OrvantaCardInfo, NoCardOnTheDrivesIsReportedWithStatus1) {
    TempDir temp;
    const std::string image = temp / "card.img";
    ASSERT_EQ(RunProgram(Tool(), {"create", image, "--records", "20", "--no-presence", "--sectors", "200000"},
                  {"TZ=Asia/Shanghai"})
                  .status,
              0);
    struct Case {
        const char* name;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"card without the test-sector markers", {"info", "--drive", "E=" + image}},
        {"image file missing", {"info", "--drive", "E=" + temp / "missing.img"}},
        {"a FIFO, which must not block the search", {"info", "--drive", "E=" + temp / "fifo"}},
    };
    ASSERT_EQ(::mkfifo((temp / "fifo").c_str(), 0600), 0);
    // Each says why the drive holds no card.
    const char* causes[] = {"holds no recorder's card", "not found (no such file or directory)",
                            "is not a card device"};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        RunResult info = RunProgram(Tool(), c.args, {"TZ=Asia/Shanghai"});
        EXPECT_EQ(info.status, 1) << info.output << info.errors;
        EXPECT_NE(KeyValues(info.output)["card"].find("none found"), std::string::npos) << info.output;
        EXPECT_NE(KeyValues(info.output)["no card on E"].find(causes[i]), std::string::npos) << info.output;
    }
}

TEST(OrvantaCardArguments, BadArgumentsGiveAClearMessageAndStatus2) {
    TempDir temp;
    const std::string image = temp / "card.img";
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    const Case cases[] = {
        {{}, "A subcommand is required"},
        {{"frobnicate"}, "subcommand"},
        {{"create"}, "no image file"},
        {{"create", image, "other.img"}, "not expected: other.img"},
        {{"create", image, "--records"}, "--records"},
        {{"create", image, "--records", "ten"}, "--records"},
        {{"create", image, "--records", "-5"}, "--records"},
        {{"create", image, "--records", "0"}, "at least one record"},
        {{"create", image, "--records", "10", "--wrap", "10"}, "shorter than the ring"},
        {{"create", image, "--start", "2024-02-30"}, "YYYY-MM-DD HH:MM:SS"},
        {{"create", image, "--start", "2010-01-01 00:00:00"}, "2013"},
        {{"create", image, "--per-second", "1,,2"}, "--per-second"},
        {{"create", image, "--per-second", "0"}, "no second with records"},
        {{"create", image, "--gap-every", "5"}, "--gap-seconds"},
        {{"create", image, "--device-byte", "256"}, "--device-byte"},
        {{"create", image, "--serial", "4294967296"}, "--serial"},
        {{"create", image, "--sectors", "1000"}, "too small"},
        {{"create", image, "--colour", "red"}, "--colour"},
        {{"create", image, "--only-for-query", "2024-03-15"}, "--only-for-query"},
        {{"create", image, "--only-for-query", "2024-03-15 10:00:01", "--per-second", "1,2"}, "one record in every second"},
        {{"create", image, "--only-for-query", "2024-03-15 10:00:01", "--gap-every", "5", "--gap-seconds", "1"},
         "no gaps"},
        {{"info", "--drive"}, "--drive"},
        {{"info", "--drive", "E="}, "empty"},
        {{"info", "--drive", "1=card.img"}, "D to Z"},
        {{"info", "--drive", "C=card.img"}, "D to Z"},
        {{"info", "--drive", "card.img"}, "L=PATH"},
        {{"info", "card.img"}, "not expected: card.img"},
        {{"info", "--verbose"}, "not expected: --verbose"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.args) joined += " " + a;
        SCOPED_TRACE("orvanta-card" + joined);
        RunResult result = RunProgram(Tool(), c.args, {"TZ=Asia/Shanghai"});
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.errors.find(c.mentions), std::string::npos) << result.errors;
        EXPECT_TRUE(result.output.empty()) << result.output;
    }
    struct stat st;
    EXPECT_NE(::stat(image.c_str(), &st), 0) << "a refused create wrote the image";
}

TEST(OrvantaCardArguments, HelpAndVersionAreShownWithStatus0) {
    const struct {
        std::vector<std::string> args;
        const char* shows;
    } cases[] = {
        {{"--help"}, "Usage: orvanta-card [OPTIONS] SUBCOMMAND"},
        {{"-h"}, "Usage: orvanta-card [OPTIONS] SUBCOMMAND"},
        {{"create", "--help"}, "Usage: orvanta-card create [OPTIONS] [IMAGE]"},
        {{"info", "--help"}, "Usage: orvanta-card info [OPTIONS]"},
        {{"overview", "-h"}, "Usage: orvanta-card overview [OPTIONS]"},
        {{"--version"}, "orvanta-card "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        RunResult result = RunProgram(Tool(), c.args);
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(result.output.find(c.shows), std::string::npos) << result.output;
        EXPECT_TRUE(result.errors.empty()) << result.errors;
    }
}

}  // namespace
}  // namespace orvanta
