// The form splitter and the field checks, on good, malformed and hostile bodies.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "server/analysis_form.h"
#include "server/form_parser.h"
#include "server_test_support.h"

namespace orvanta::server {
namespace {

using testing::EncodeBody;
using testing::FormTexts;
using testing::NumberText;
using testing::TrendNumbers;
using testing::ValidTexts;

TEST(DecodeFormComponent, DecodesPlusAndPercentEscapesAndRejectsBadOnes) {
    struct Case {
        std::string encoded;
        bool ok;
        std::string decoded;
    };
    const Case cases[] = {
        {"512+-3+", true, "512 -3 "},
        {"%41%62c", true, "Abc"},
        {"%e4%B8%aD", true, std::string("\xe4\xb8\xad")},
        {"%2b%2B", true, "++"},
        {"%00", true, std::string(1, '\0')},
        {"", true, ""},
        {"%", false, ""},
        {"%4", false, ""},
        {"100%", false, ""},
        {"%zz", false, ""},
        {"%4g", false, ""},
        {"%g4", false, ""},
        {"a%%41", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoded);
        std::string out;
        EXPECT_EQ(DecodeFormComponent(c.encoded, out), c.ok);
        if (c.ok) {
            EXPECT_EQ(out, c.decoded);
        }
    }
}

TEST(ParseForm, SplitsPairsInOrderSkippingEmptyOnes) {
    const FormParseResult r = ParseForm("a=1&&b=x+y&c&=v&d=%3d&");
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.fields.size(), 5u);
    EXPECT_EQ(r.fields[0].name, "a");
    EXPECT_EQ(r.fields[0].value, "1");
    EXPECT_EQ(r.fields[1].value, "x y");
    EXPECT_EQ(r.fields[2].name, "c");
    EXPECT_EQ(r.fields[2].value, "");
    EXPECT_EQ(r.fields[3].name, "");
    EXPECT_EQ(r.fields[3].value, "v");
    EXPECT_EQ(r.fields[4].name, "d");
    EXPECT_EQ(r.fields[4].value, "=");
}

TEST(ParseForm, EnforcesItsLimits) {
    FormLimits limits;
    limits.maxFields = 3;
    limits.maxNameLength = 5;
    limits.maxValueLength = 4;
    EXPECT_TRUE(ParseForm("a=1&b=2&c=3", limits).ok);
    const FormParseResult tooMany = ParseForm("a=1&b=2&c=3&d=4", limits);
    EXPECT_FALSE(tooMany.ok);
    EXPECT_FALSE(tooMany.message.empty());
    const FormParseResult longName = ParseForm("abcdef=1", limits);
    EXPECT_FALSE(longName.ok);
    EXPECT_EQ(longName.field, "abcdef");
    EXPECT_TRUE(ParseForm("data=1234", limits).ok);
    const FormParseResult longValue = ParseForm("data=12345", limits);
    EXPECT_FALSE(longValue.ok);
    EXPECT_EQ(longValue.field, "data");
}

TEST(TrendPointsForCount, SolvesPairsPlusFill) {
    const std::pair<std::size_t, long> cases[] = {
        {0, -1}, {2, -1}, {1000, -1}, {1001, 0}, {1002, 1}, {1500, 499},
        {2000, 999}, {2001, -1}, {2002, 1000}, {2003, -1}, {4000, -1},
    };
    for (const auto& [count, points] : cases) {
        SCOPED_TRACE(count);
        EXPECT_EQ(TrendPointsForCount(count), points);
    }
}

TEST(ParseInt32, AcceptsWholeSigned32BitNumbersOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"0", true}, {"-1", true}, {"2147483647", true}, {"-2147483648", true}, {"007", true},
        {"2147483648", false}, {"-2147483649", false}, {"99999999999999999999", false},
        {"", false}, {"-", false}, {"+5", false}, {"5 ", false}, {" 5", false}, {"1.5", false},
        {"0x10", false}, {"1e3", false}, {"abc", false},
    };
    for (const auto& [text, ok] : cases) {
        SCOPED_TRACE(text);
        std::int32_t value = 0;
        EXPECT_EQ(ParseInt32(text, value), ok);
    }
    std::int32_t value = 0;
    ASSERT_TRUE(ParseInt32("-2147483648", value));
    EXPECT_EQ(value, INT32_MIN);
}

TEST(ParseAnalysisForm, AcceptsTheClientsFormAndSplitsIt) {
    FormTexts texts = ValidTexts();
    texts.wave[0] = -505;
    texts.wave[1] = 65026;
    texts.wave[250] = 17;
    texts.wave[251] = -4;
    const AnalysisFormResult r = ParseAnalysisForm(EncodeBody(texts));
    ASSERT_TRUE(r.ok) << r.field << ": " << r.message;
    EXPECT_EQ(r.form.selectedTime, 1386302400);
    EXPECT_EQ(r.form.actualTime, 1386302400);
    ASSERT_EQ(r.form.channelA.size(), 126u);
    ASSERT_EQ(r.form.channelB.size(), 126u);
    EXPECT_EQ(r.form.channelA[0], -505);
    EXPECT_EQ(r.form.channelB[0], 65026);
    EXPECT_EQ(r.form.channelA[125], 17);
    EXPECT_EQ(r.form.channelB[125], -4);
    ASSERT_EQ(r.form.trend.size(), 3u);
    EXPECT_EQ(r.form.trend[0].a, 2);
    EXPECT_EQ(r.form.trend[0].b, 230);
    EXPECT_EQ(r.form.trend[2].b, 229);
    EXPECT_EQ(r.form.device.driveCode, 69);
    EXPECT_EQ(r.form.device.serial, 123456);
    EXPECT_EQ(r.form.device.deviceByte, 7);
}

// The accepted variants: what a client may legitimately send.
TEST(ParseAnalysisForm, AcceptsLegitimateVariants) {
    struct Case {
        const char* name;
        std::function<std::string()> body;
        std::size_t trendPoints;
    };
    const auto withTrend = [](std::vector<std::int32_t> trend) {
        FormTexts t = ValidTexts();
        t.trend = std::move(trend);
        return EncodeBody(t);
    };
    std::vector<std::pair<int, int>> full(1000, {1, 250});
    std::vector<std::pair<int, int>> almost(999, {1, 250});
    const Case cases[] = {
        {"no trend point (no card)", [&] { return withTrend(TrendNumbers({})); }, 0},
        {"999 points, no fill", [&] { return withTrend(TrendNumbers(almost)); }, 999},
        {"1000 points", [&] { return withTrend(TrendNumbers(full)); }, 1000},
        {"trend points that are zero", [&] { return withTrend(TrendNumbers({{0, 0}, {0, 3}})); }, 2},
        {"unknown extra field", [] { return EncodeBody(ValidTexts()) + "&extra=%2a&data3=x"; }, 3},
        {"blanks as %20 and upper-case escapes", [] {
             std::string b = EncodeBody(ValidTexts());
             for (std::size_t p = b.find('+'); p != std::string::npos; p = b.find('+', p)) b.replace(p, 1, "%20");
             return b;
         }, 3},
        {"empty pairs", [] { return "&&" + EncodeBody(ValidTexts()) + "&&"; }, 3},
        {"fields in another order", [] {
             const FormTexts t = ValidTexts();
             std::string body = EncodeBody(t);
             const std::size_t data2 = body.find("&data2=");
             return body.substr(data2 + 1) + "&" + body.substr(0, data2);
         }, 3},
        {"time extremes", [] {
             FormTexts t = ValidTexts();
             t.selectedTime = INT32_MIN;
             t.actualTime = INT32_MAX;
             return EncodeBody(t);
         }, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AnalysisFormResult r = ParseAnalysisForm(c.body());
        ASSERT_TRUE(r.ok) << r.field << ": " << r.message;
        EXPECT_EQ(r.form.trend.size(), c.trendPoints);
    }
}

// Malformed and hostile bodies: each is rejected, naming the field at fault.
TEST(ParseAnalysisForm, RejectsMalformedBodiesNamingTheField) {
    const std::string valid = EncodeBody(ValidTexts());
    const auto replaceField = [&](const std::string& name, const std::string& encodedValue) {
        std::string body = "&" + valid;
        const std::string key = "&" + name + "=";
        const std::size_t start = body.find(key);
        std::size_t end = body.find('&', start + 1);
        if (end == std::string::npos) end = body.size();
        body.replace(start, end - start, key + encodedValue);
        return body.substr(1);
    };
    const auto dropField = [&](const std::string& name) {
        std::string body = "&" + valid;
        const std::size_t start = body.find("&" + name + "=");
        std::size_t end = body.find('&', start + 1);
        if (end == std::string::npos) end = body.size();
        body.erase(start, end - start);
        return body.substr(1);
    };
    const auto waveWith = [](std::size_t count) {
        std::vector<std::int32_t> n(count, 7);
        std::string t = NumberText(n);
        for (char& c : t) if (c == ' ') c = '+';
        return t;
    };
    const auto trendWith = [](std::vector<std::int32_t> numbers) {
        std::string t = NumberText(numbers);
        for (char& c : t) if (c == ' ') c = '+';
        return t;
    };
    std::vector<std::int32_t> badStart = TrendNumbers({{1, 2}});
    badStart[1] = 5;
    std::vector<std::int32_t> badFill = TrendNumbers({{1, 2}});
    badFill.back() = 3;
    std::vector<std::int32_t> short1000 = TrendNumbers({});
    short1000.pop_back();
    std::vector<std::int32_t> odd2001 = TrendNumbers(std::vector<std::pair<int, int>>(999, {1, 2}));
    odd2001.push_back(0);

    struct Case {
        const char* name;
        std::string body;
        std::string field;
    };
    const Case cases[] = {
        {"missing selectedTime", dropField("selectedTime"), "selectedTime"},
        {"missing actualTime", dropField("actualTime"), "actualTime"},
        {"missing data", dropField("data"), "data"},
        {"missing data1", dropField("data1"), "data1"},
        {"missing data2", dropField("data2"), "data2"},
        {"empty body", "", "selectedTime"},
        {"duplicated data", valid + "&data=" + waveWith(252), "data"},
        {"duplicated selectedTime", "selectedTime=1&" + valid, "selectedTime"},
        {"bad escape %zz", replaceField("data", "1+%zz+2"), "data"},
        {"cut escape %4 at the end", replaceField("data2", "69+1+1+1+%4"), "data2"},
        {"lone percent", replaceField("actualTime", "%"), "actualTime"},
        {"bad escape in a name", "da%zzta=1&" + valid, "da%zzta"},
        {"bad escape in an unknown field", valid + "&extra=%zz", "extra"},
        {"non-number in data", replaceField("data", "abc+" + waveWith(251)), "data"},
        {"decimal fraction in data", replaceField("data", "1.5+" + waveWith(251)), "data"},
        {"encoded plus sign", replaceField("data", "%2b5+" + waveWith(251)), "data"},
        {"non-number time", replaceField("selectedTime", "now"), "selectedTime"},
        {"empty time", replaceField("selectedTime", ""), "selectedTime"},
        {"time with a blank", replaceField("actualTime", "12+"), "actualTime"},
        {"time overflow", replaceField("selectedTime", "2147483648"), "selectedTime"},
        {"time underflow", replaceField("actualTime", "-2147483649"), "actualTime"},
        {"number overflow in data", replaceField("data", "99999999999999999999+" + waveWith(251)), "data"},
        {"number overflow in data2", replaceField("data2", "69+1+1+4294967296+7+"), "data2"},
        {"251 numbers in data", replaceField("data", waveWith(251)), "data"},
        {"253 numbers in data", replaceField("data", waveWith(253)), "data"},
        {"blanks only in data", replaceField("data", "+++"), "data"},
        {"4 numbers in data2", replaceField("data2", "69+1+1+7+"), "data2"},
        {"6 numbers in data2", replaceField("data2", "69+1+1+7+7+7+"), "data2"},
        {"data1 one number short", replaceField("data1", trendWith(short1000)), "data1"},
        {"data1 with 2001 numbers", replaceField("data1", trendWith(odd2001)), "data1"},
        {"data1 not starting with 0 0", replaceField("data1", trendWith(badStart)), "data1"},
        {"data1 fill not zero", replaceField("data1", trendWith(badFill)), "data1"},
        {"embedded NUL in data", replaceField("data", "1%00+" + waveWith(251)), "data"},
        {"raw NUL in a time", replaceField("selectedTime", std::string("13\0" "86", 5)), "selectedTime"},
        {"huge data (300 KiB)", replaceField("data", std::string(300 * 1024, '1')), "data"},
        {"long data of blanks", replaceField("data", std::string(10 * 1024, '+')), "data"},
        {"long time with leading zeros", replaceField("selectedTime", std::string(30, '0') + "1"), "selectedTime"},
        {"huge data1", replaceField("data1", std::string(70 * 1024, '0')), "data1"},
        {"huge data2", replaceField("data2", trendWith(std::vector<std::int32_t>(200, 1))), "data2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AnalysisFormResult r = ParseAnalysisForm(c.body);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.field, c.field);
        EXPECT_FALSE(r.message.empty() || r.messageEnglish.empty());
    }
}

TEST(ParseAnalysisForm, RejectsABodyOfTooManyFields) {
    std::string body = EncodeBody(ValidTexts());
    for (int i = 0; i < 100; ++i) {
        body += "&x" + std::to_string(i) + "=1";
    }
    const AnalysisFormResult r = ParseAnalysisForm(body);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.empty() || r.messageEnglish.empty());
}

}  // namespace
}  // namespace orvanta::server

namespace orvanta::server {
namespace {

// Random damage to a valid body, a few thousand times with a fixed seed: the
// checks never crash, and whatever they accept is a complete form.
TEST(ParseAnalysisForm, SurvivesRandomDamage) {
    const std::string valid = testing::EncodeBody(testing::ValidTexts());
    const char alphabet[] = {'%', '&', '=', '+', '-', '0', '9', 'a', 'z', '\0', '\xff', ' ', '2', 'F'};
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string body = valid;
        const int edits = 1 + static_cast<int>(next() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = next() % (body.size() + 1);
            const char c = alphabet[next() % sizeof alphabet];
            switch (next() % 3) {
                case 0: if (at < body.size()) body[at] = c; break;
                case 1: body.insert(at, 1, c); break;
                default: if (at < body.size()) body.erase(at, 1 + next() % 8); break;
            }
        }
        const AnalysisFormResult r = ParseAnalysisForm(body);
        if (r.ok) {
            ++accepted;
            EXPECT_EQ(r.form.channelA.size(), kWaveSamples);
            EXPECT_EQ(r.form.channelB.size(), kWaveSamples);
            EXPECT_LE(r.form.trend.size(), kMaxTrendPoints);
        } else {
            EXPECT_FALSE(r.message.empty() || r.messageEnglish.empty());
        }
    }
    // Some damage (a digit changed) leaves a valid form; most does not.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 3000);
}

}  // namespace
}  // namespace orvanta::server
