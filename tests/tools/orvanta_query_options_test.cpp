#include "tools/orvanta_query/query_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "request/form_poster.h"

namespace orvanta {
namespace {

// Sets TZ for one test and restores it.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            had_ = true;
            old_ = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (had_) setenv("TZ", old_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    bool had_ = false;
    std::string old_;
};

TEST(QueryOptions, AcceptsTheDocumentedForms) {
    ZoneGuard zone("Asia/Shanghai");
    QueryOptions options;
    std::string error;
    ASSERT_EQ(ParseQueryOptions({"--drive", "E=card.img", "--drive=f=/dev/sdb1", "--time", "2013-12-06 12:00:00",
                                 "--config", "c.ini", "--request-out", "-", "--no-send", "--out=page.html"},
                                &options, &error),
              ParseOutcome::Run)
        << error;
    EXPECT_EQ(options.driveArguments, (std::vector<std::string>{"E=card.img", "f=/dev/sdb1"}));
    EXPECT_TRUE(options.hasTime);
    EXPECT_EQ(options.selectedTime, 1386302400);  // 04:00 UTC
    EXPECT_EQ(options.configPath, "c.ini");
    EXPECT_EQ(options.requestOut, "-");
    EXPECT_TRUE(options.noSend);
    EXPECT_EQ(options.answerOut, "page.html");
}

TEST(QueryOptions, DefaultsWithoutArguments) {
    QueryOptions options;
    options.noSend = true;
    std::string error;
    ASSERT_EQ(ParseQueryOptions({}, &options, &error), ParseOutcome::Run);
    EXPECT_TRUE(options.driveArguments.empty());
    EXPECT_FALSE(options.hasTime);
    EXPECT_TRUE(options.configPath.empty());
    EXPECT_TRUE(options.requestOut.empty());
    EXPECT_FALSE(options.noSend);
    EXPECT_TRUE(options.answerOut.empty());
}

TEST(QueryOptions, ConvertsTimeAsLocalStandardTime) {
    const struct {
        const char* zone;
        const char* text;
        std::int32_t time;
    } cases[] = {
        {"Asia/Shanghai", "2013-12-06 12:00:00", 1386302400},
        {"Europe/Berlin", "2013-12-06 05:00:00", 1386302400},
        // Summer in Berlin: the daylight-saving flag 0 counts it as standard
        // time (UTC+1), not as summer time.
        {"Europe/Berlin", "2021-07-01 13:00:00", 1625140800},
        {"Asia/Shanghai", "1970-01-01 07:59:59", -1},
        {"Asia/Shanghai", "2038-01-19 11:14:07", 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.text);
        ZoneGuard zone(c.zone);
        QueryOptions options;
        std::string error;
        ASSERT_EQ(ParseQueryOptions({"--time", c.text}, &options, &error), ParseOutcome::Run) << error;
        EXPECT_EQ(options.selectedTime, c.time);
    }
}

TEST(QueryOptions, RefusesBadArguments) {
    ZoneGuard zone("Asia/Shanghai");
    const struct {
        std::vector<std::string> arguments;
        const char* mentions;
    } cases[] = {
        {{"--drive"}, "--drive"},
        {{"--drive", "E"}, "--drive"},
        {{"--drive", "E="}, "--drive"},
        {{"--drive", "1=card.img"}, "--drive"},
        {{"--drive", "C=card.img"}, "D to Z"},
        {{"--time"}, "--time"},
        {{"--time", "2013-12-06"}, "YYYY-MM-DD HH:MM:SS"},
        {{"--time", "2013-13-06 12:00:00"}, "YYYY-MM-DD HH:MM:SS"},
        {{"--time", "yesterday"}, "YYYY-MM-DD HH:MM:SS"},
        {{"--time", "2040-01-01 00:00:00"}, "outside the range"},
        {{"--time", "2013-12-06 12:00:00", "--time", "2013-12-06 12:00:01"}, "--time"},
        {{"--config"}, "--config"},
        {{"--config", ""}, "needs a file name"},
        {{"--config=a", "--config=b"}, "--config"},
        {{"--request-out="}, "--request-out"},
        {{"--out", "a", "--out", "b"}, "--out"},
        {{"--verbose"}, "not expected: --verbose"},
        {{"-x"}, "not expected: -x"},
        {{"card.img"}, "not expected: card.img"},
        {{"-"}, "not expected: -"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& a : c.arguments) joined += "[" + a + "]";
        SCOPED_TRACE(joined);
        QueryOptions options;
        std::string error;
        EXPECT_EQ(ParseQueryOptions(c.arguments, &options, &error), ParseOutcome::Error);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
}

TEST(QueryOptions, AsksForHelpOrTheVersion) {
    const struct {
        const char* flag;
        ParseOutcome outcome;
    } cases[] = {{"--help", ParseOutcome::Help}, {"-h", ParseOutcome::Help}, {"--version", ParseOutcome::Version}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        QueryOptions options;
        std::string error;
        EXPECT_EQ(ParseQueryOptions({"--no-send", c.flag, "--bogus"}, &options, &error), c.outcome);
    }
    for (const char* option : {"--drive L=PATH", "--time", "--config FILE", "--request-out FILE", "--csv FILE",
                               "--no-send", "--out FILE", "--version", "-h,--help"}) {
        EXPECT_NE(QueryUsage().find(option), std::string::npos) << option;
    }
    EXPECT_EQ(QueryVersion().rfind("orvanta-query ", 0), 0u);
}

TEST(CurlHeaderLines, KeepsEveryHeaderIncludingEmptyValues) {
    const struct {
        std::string block;
        std::vector<std::string> lines;
    } cases[] = {
        {"Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\nUser-ID: 111\r\nPassword: x y\r\n",
         {"Content-Type: application/x-www-form-urlencoded", "Api-Version: 1.0.0", "User-ID: 111", "Password: x y"}},
        {"User-ID: \r\nPassword: \r\n", {"User-ID;", "Password;"}},
        {"Password:\t \r\n", {"Password;"}},
        {"A: 1\nB: 2", {"A: 1", "B: 2"}},
        {"\r\n\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(CurlHeaderLines(c.block), c.lines);
    }
}

}  // namespace
}  // namespace orvanta
