// The answer page and the other pages: content, notes, and self-containment.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <optional>
#include <regex>

#include "server/analysis_form.h"
#include "server/answer_page.h"
#include "card/card_layout.h"
#include "server/html_text.h"
#include "server/page_language.h"
#include "server_test_support.h"

namespace orvanta::server {
namespace {

using testing::EncodeBody;
using testing::FormTexts;
using testing::ScopedTimeZone;
using testing::ValidTexts;

AnalysisForm FormOf(const FormTexts& texts) {
    const AnalysisFormResult r = ParseAnalysisForm(EncodeBody(texts));
    EXPECT_TRUE(r.ok) << r.field << ": " << r.message;
    return r.form;
}

// The text inside the element with this id, or "" when there is none.
std::string ElementText(const std::string& page, const std::string& id) {
    const std::regex pattern("id=\"" + id + "\"[^>]*>([^<]*)<");
    std::smatch m;
    return std::regex_search(page, m, pattern) ? m[1].str() : std::string();
}

// The page shows times as the client does: local standard time all year, with
// the offset written out, so a record the window shows at 12:00:00 in July in
// Europe/Berlin reads 12:00:00 on the page too.
TEST(FormatLocalTime, ShowsLocalStandardTimeWithItsUtcOffset) {
    struct Case {
        const char* zone;
        std::int32_t seconds;
        const char* text;
    };
    const Case cases[] = {
        {"Asia/Shanghai", 1386302400, "2013-12-06 12:00:00 UTC+08:00"},
        {"Asia/Shanghai", 1372651200, "2013-07-01 12:00:00 UTC+08:00"},
        {"Europe/Berlin", 1386302400, "2013-12-06 05:00:00 UTC+01:00"},
        {"Europe/Berlin", 1372651200, "2013-07-01 05:00:00 UTC+01:00"},
        {"America/New_York", 1372651200, "2013-06-30 23:00:00 UTC-05:00"},
        {"Asia/Kathmandu", 1386302400, "2013-12-06 09:45:00 UTC+05:45"},
        {"UTC", 0, "1970-01-01 00:00:00 UTC+00:00"},
        {"UTC", -1, "1969-12-31 23:59:59 UTC+00:00"},
        {"UTC", INT32_MAX, "2038-01-19 03:14:07 UTC+00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.seconds));
        ScopedTimeZone zone(c.zone);
        EXPECT_EQ(FormatLocalTime(c.seconds), c.text);
    }
}

TEST(DriveLabel, NamesTheDriveOrTheMissingCard) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {69, "E:"}, {68, "D:"}, {65, "A:"}, {90, "Z:"}, {101, "E:"},
        {1, "无卡"}, {0, "未知（代码 0）"}, {91, "未知（代码 91）"}, {-5, "未知（代码 -5）"},
    };
    for (const auto& [code, label] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(DriveLabel(code), label);
    }
}

TEST(RenderAnswerPage, ShowsThdAndRmsOfBothChannels) {
    ScopedTimeZone zone("Asia/Shanghai");
    const AnalysisForm form = FormOf(ValidTexts());  // B: 100 counts, 3rd 5%, 5th 3%; A twice that
    const std::string page = RenderAnswerPage(form);

    // Pairs 1 to 96 are one period: THD sqrt(5² + 3²) %, RMS 100/√2 counts,
    // the current in phase with the voltage.
    EXPECT_NEAR(std::stod(ElementText(page, "thd-b")), 5.83, 0.1);
    EXPECT_NEAR(std::stod(ElementText(page, "thd-a")), 5.83, 0.1);
    EXPECT_NEAR(std::stod(ElementText(page, "rms-b")), 100.0 / std::sqrt(2.0) * kTrendScaleB, 0.5);
    EXPECT_NEAR(std::stod(ElementText(page, "rms-a")), 200.0 / std::sqrt(2.0) * kTrendScaleA, 0.01);
    EXPECT_EQ(ElementText(page, "pf"), "1.0000");
    EXPECT_EQ(ElementText(page, "dpf"), "1.0000");
    EXPECT_NEAR(std::stod(ElementText(page, "q1")), 0.0, 0.5);
    const double volts = 100.0 / std::sqrt(2.0) * kTrendScaleB;
    const double amperes = 200.0 / std::sqrt(2.0) * kTrendScaleA;
    EXPECT_NEAR(std::stod(ElementText(page, "p")), volts * amperes, 0.01 * volts * amperes);
    EXPECT_NEAR(std::stod(ElementText(page, "k-factor")), (1 + 9 * 0.0025 + 25 * 0.0009) / (1 + 0.0025 + 0.0009),
                0.01);
    EXPECT_FALSE(ElementText(page, "crest-b").empty());
    EXPECT_NE(ElementText(page, "period-note").find("分析记录 126 个采样中的第 1 至 96 个（一个周期），计算 1 至 40 次谐波"),
              std::string::npos);
    EXPECT_EQ(ElementText(page, "selected-time"), "2013-12-06 12:00:00 UTC+08:00");
    EXPECT_EQ(ElementText(page, "drive"), "E:");
    EXPECT_EQ(ElementText(page, "serial"), "123456");
    EXPECT_EQ(ElementText(page, "device-byte"), "7");
    EXPECT_NE(page.find("<meta charset=\"utf-8\">\n<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">"),
              std::string::npos);
    EXPECT_NE(page.find("lang=\"zh-CN\""), std::string::npos);
    // Waveform, two spectra, trend: four charts.
    std::size_t charts = 0;
    for (std::size_t p = page.find("<svg"); p != std::string::npos; p = page.find("<svg", p + 1)) ++charts;
    EXPECT_EQ(charts, 4u);
}

TEST(RenderAnswerPage, NotesWhenTheTimesDifferOrNoRecordWasFound) {
    ScopedTimeZone zone("Europe/Berlin");
    struct Case {
        const char* name;
        std::int32_t selected;
        std::int32_t actual;
        bool differsNote;
        bool noRecordNote;
    };
    const Case cases[] = {
        {"same time", 1386302400, 1386302400, false, false},
        {"record found at another second", 1386302400, 1386302395, true, false},
        {"no record", 1386302400, 0, true, true},
        {"invalid time", 1386302400, -1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormTexts texts = ValidTexts();
        texts.selectedTime = c.selected;
        texts.actualTime = c.actual;
        const std::string page = RenderAnswerPage(FormOf(texts));
        EXPECT_EQ(page.find("id=\"time-differs-note\"") != std::string::npos, c.differsNote);
        EXPECT_EQ(page.find("id=\"no-record-note\"") != std::string::npos, c.noRecordNote);
        EXPECT_EQ(ElementText(page, "selected-time"), FormatLocalTime(c.selected));
        // Time value 0 is no moment of 1970: the record time says none was found.
        EXPECT_EQ(ElementText(page, "actual-time"), c.noRecordNote ? "未找到记录" : FormatLocalTime(c.actual));
        // Without a record the samples are no measurements: no figures.
        EXPECT_EQ(page.find("id=\"rms-b\"") == std::string::npos, c.noRecordNote);
        EXPECT_EQ(page.find("<svg") == std::string::npos, c.noRecordNote);
    }
}

TEST(RenderAnswerPage, HandlesTheRecordOfAMissingCard) {
    // What the client sends without a card: flat samples, no trend, drive code 1.
    FormTexts texts;
    for (int k = 0; k < 126; ++k) {
        texts.wave.push_back(-505);
        texts.wave.push_back(-508);
    }
    texts.trend = testing::TrendNumbers({});
    texts.device = {1, 1, 1, 0, 0};
    texts.actualTime = 0;
    // The placeholders are no measurements: a "no card" page without figures
    // (no 1286.13 V drawn from the -508s), in either language.
    for (const PageLanguage language : {PageLanguage::kChinese, PageLanguage::kEnglish}) {
        const std::string page = RenderAnswerPage(FormOf(texts), language);
        EXPECT_NE(page.find("id=\"no-card-note\""), std::string::npos);
        EXPECT_NE(page.find(language == PageLanguage::kChinese ? "<h1>未找到存储卡</h1>" : "<h1>No memory card</h1>"),
                  std::string::npos);
        EXPECT_NE(ElementText(page, "drive").find(language == PageLanguage::kChinese ? "无卡" : "no card"),
                  std::string::npos);
        for (const char* figure : {"id=\"rms-b\"", "id=\"thd-b\"", "<svg", "1286.13"}) {
            EXPECT_EQ(page.find(figure), std::string::npos) << figure;
        }
    }
}

TEST(PageLanguage, FollowsTheRequestsPreferredLanguage) {
    const std::pair<std::optional<std::string>, PageLanguage> cases[] = {
        {std::nullopt, PageLanguage::kChinese},
        {"zh-CN,zh;q=0.9,en;q=0.8", PageLanguage::kChinese},
        {"en-US,en;q=0.9,zh-CN;q=0.8", PageLanguage::kEnglish},
        {"EN", PageLanguage::kEnglish},
        {"zh;q=0.5, en-GB;q=0.7", PageLanguage::kEnglish},
        {"de-DE, en;q=0.9", PageLanguage::kChinese},
        {"english", PageLanguage::kChinese},
        {"", PageLanguage::kChinese},
    };
    for (const auto& [header, language] : cases) {
        SCOPED_TRACE(header.value_or("(absent)"));
        EXPECT_EQ(LanguageOf(header), language);
    }
    const std::string page = RenderAnswerPage(FormOf(ValidTexts()), PageLanguage::kEnglish);
    EXPECT_NE(page.find("<html lang=\"en\">"), std::string::npos);
    EXPECT_NE(page.find("<h1>Harmonic analysis</h1>"), std::string::npos);
    EXPECT_NE(page.find("Total harmonic distortion"), std::string::npos);
}

// Printed, each heading stays with its chart, the folded harmonic tables are
// printed unfolded, and a long section goes on on the next page rather than
// leaving the page before half empty; the text is in a TrueType font, whose
// outlines the browser engine embeds.
TEST(RenderAnswerPage, PrintsHeadingsWithTheirChartsAndTablesUnfolded) {
    const std::string page = RenderAnswerPage(FormOf(ValidTexts()));
    const std::size_t print = page.find("@media print");
    ASSERT_NE(print, std::string::npos);
    const std::string printStyle = page.substr(print, page.find("</style>") - print);
    EXPECT_EQ(printStyle.find("section { break-inside: avoid"), std::string::npos);
    EXPECT_NE(printStyle.find(".keep { break-inside: avoid"), std::string::npos);
    EXPECT_NE(page.find("<section id=\"spectrum-b\">\n<div class=\"keep\"><h2>"), std::string::npos);
    EXPECT_NE(printStyle.find("body, svg { font-family: \"WenQuanYi Micro Hei\""), std::string::npos);
    EXPECT_NE(printStyle.find("h1, h2 { break-after: avoid"), std::string::npos);
    EXPECT_NE(printStyle.find(".print-only { display: block; }"), std::string::npos);
    // Each channel's table is there twice: folded for the screen, open for print.
    const std::regex table("<table class=\"harmonic-table\">");
    EXPECT_EQ(std::distance(std::sregex_iterator(page.begin(), page.end(), table), std::sregex_iterator()), 4);
    EXPECT_NE(page.find("</details>\n<div class=\"print-only\">\n<table class=\"harmonic-table\">"), std::string::npos);
}

TEST(RenderAnswerPage, IsSelfContained) {
    const std::string page = RenderAnswerPage(FormOf(ValidTexts()));
    for (const char* forbidden : {"<script", "src=", "href=", "url(", "@import", "<link", "<iframe", "<img"}) {
        SCOPED_TRACE(forbidden);
        EXPECT_EQ(page.find(forbidden), std::string::npos);
    }
    // The only address in the page is the SVG namespace name (and "http"
    // otherwise only in the document-mode declaration).
    std::string rest = page;
    for (const std::string allowed : {"xmlns=\"http://www.w3.org/2000/svg\"", "http-equiv="}) {
        for (std::size_t p = rest.find(allowed); p != std::string::npos; p = rest.find(allowed)) {
            rest.erase(p, allowed.size());
        }
    }
    EXPECT_EQ(rest.find("http"), std::string::npos);
}

TEST(RenderErrorPage, EscapesWhatTheClientSent) {
    const std::string page = RenderErrorPage(400, "请求格式错误", "bad <value> & \"quote\"", "<b>x</b>");
    EXPECT_NE(page.find("&lt;b&gt;x&lt;/b&gt;"), std::string::npos);
    EXPECT_NE(page.find("bad &lt;value&gt; &amp; &quot;quote&quot;"), std::string::npos);
    EXPECT_EQ(page.find("<b>x"), std::string::npos);
    EXPECT_NE(page.find("请求格式错误"), std::string::npos);
}

TEST(HtmlEscape, KeepsValidUtf8AndReplacesEverythingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {"a<b>&'\"", "a&lt;b&gt;&amp;&#39;&quot;"},
        {"数据 data2", "数据 data2"},
        {"tab\tline\n", "tab\tline\n"},
        {std::string("nul\0x", 5), "nul\xEF\xBF\xBDx"},
        {"\xff\xfe", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xe4\xb8", "\xEF\xBF\xBD\xEF\xBF\xBD"},           // cut sequence
        {"\xc0\xaf", "\xEF\xBF\xBD\xEF\xBF\xBD"},           // overlong '/'
        {"\xed\xa0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // surrogate
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(HtmlEscape(in), out);
    }
}

}  // namespace
}  // namespace orvanta::server
