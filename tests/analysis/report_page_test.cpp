// The report as JSON and HTML from figures made by hand: undefined figures
// are null, a report without records has no times, texts from outside (the
// scan's message) are escaped, and the page's language and verdicts follow
// the figures.
#include <gtest/gtest.h>

#include <string>

#include "analysis/report_html.h"
#include "analysis/report_json.h"
#include "card/local_time.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace analysis {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ReportPage, JsonAndHtmlOfHandMadeFigures) {
    testenv::ScopedTimeZone zone("Asia/Shanghai");
    RangeReport empty;
    empty.status = OverviewStatus::kCardGone;
    empty.message = "card <gone> & \"pulled\"";
    empty.figures = ComputeReportFigures(ReportSettings(), {}, {}, GapFigures(), 0, 0, 0);

    RecordValues record;
    record.time = LocalStandardTime({2024, 3, 15, 10, 0, 0});
    record.values[kVRms] = 230.0;
    record.values[kVThdF] = 9.0;
    CIntervalAggregate aggregate;
    aggregate.Add(record);
    ReportSettings settings;
    settings.nominalVolts = 230;
    settings.il = 10.0;
    RangeReport one;
    one.status = OverviewStatus::kDone;
    one.serial = 77;
    one.figures = ComputeReportFigures(settings, aggregate.Intervals(), {}, GapFigures(), 1, record.time, record.time);

    const std::string emptyJson = ReportJson(empty), oneJson = ReportJson(one);
    const std::string emptyPage = ReportHtml(empty, UiLanguage::kChinese);
    const std::string onePage = ReportHtml(one, UiLanguage::kEnglish);
    const struct {
        const char* what;
        bool holds;
    } rows[] = {
        {"no records: no times", Has(emptyJson, "\"first\": null,") && Has(emptyJson, "\"last\": null,")},
        {"no records: no share", Has(emptyJson, "\"v_within_share\": null,")},
        {"no --il: no TDD key", !Has(emptyJson, "tdd_p95")},
        {"a card that went: not complete", Has(emptyJson, "\"complete\": false,")},
        {"no figure: not met", Has(emptyJson, "\"en50160_voltage\": false")},
        {"the message escaped", Has(emptyPage, "card &lt;gone&gt; &amp; &quot;pulled&quot;") &&
                                    !Has(emptyPage, "<gone>")},
        {"Chinese page", Has(emptyPage, "lang=\"zh-CN\"") && Has(emptyPage, "电能质量报告")},
        {"one record: its time", Has(oneJson, "\"first\": \"2024-03-15 10:00:00\",")},
        {"one record: within", Has(oneJson, "\"v_within_share\": 1,")},
        {"THD 9 % against 8 %", Has(oneJson, "\"en50160_thd\": false") && Has(oneJson, "\"v_thd_f_p95\": 9,")},
        {"--il without a defined TDD: null", Has(oneJson, "\"tdd_p95\": null,")},
        {"serial", Has(oneJson, "\"serial\": 77,")},
        {"English page", Has(onePage, "lang=\"en\"") && Has(onePage, "Power-quality report")},
        {"English verdict", Has(onePage, "<td class=\"notmet\">not met</td>")},
        {"the basis said", Has(onePage, "not the gapless measurement of IEC 61000-4-30 class A")},
        {"no events", Has(onePage, "No events in the range.")},
    };
    for (const auto& row : rows) EXPECT_TRUE(row.holds) << row.what;
}

}  // namespace
}  // namespace analysis
}  // namespace orvanta
