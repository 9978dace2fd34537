// The status line's record texts both windows show: the nearest record when
// the second asked for holds none, why no record was found, and the wait for
// the server.
#include <gtest/gtest.h>

#include "dialogcore/accept_language.h"
#include "dialogcore/record_line.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

using testenv::ScopedTimeZone;
using testenv::TimeOfFields;

TEST(RecordLine, SaysWhatWasShownInsteadAndWhyNothingWas) {
    const ScopedTimeZone zone("Asia/Shanghai");
    const UiLanguage zh = UiLanguage::kChinese;
    const UiLanguage en = UiLanguage::kEnglish;
    const std::int32_t asked = TimeOfFields(2024, 6, 25, 14, 30, 0);
    const std::int32_t sameDay = TimeOfFields(2024, 6, 25, 13, 59, 59);
    const std::int32_t dayBefore = TimeOfFields(2024, 6, 24, 23, 59, 59);
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {NearestRecordText(zh, asked, sameDay), "所选时间 14:30:00 无记录，显示最近的记录 13:59:59"},
        {NearestRecordText(en, asked, sameDay), "No record at 14:30:00; showing the nearest, 13:59:59"},
        // Across midnight the dates tell which day the record is of.
        {NearestRecordText(zh, asked, dayBefore), "所选时间 2024-06-25 14:30:00 无记录，显示最近的记录 2024-06-24 23:59:59"},
        {NoRecordText(zh, NoRecordCause::kNoCard, asked), "未找到存储卡，没有可显示的记录"},
        {NoRecordText(en, NoRecordCause::kCardUnreadable, asked), "The card cannot be read: no record to show"},
        {NoRecordText(zh, NoRecordCause::kNoneNear, asked), "所选时间 2024-06-25 14:30:00 附近没有记录"},
        {NoRecordText(en, NoRecordCause::kNoneNear, asked), "No record near the selected time 2024-06-25 14:30:00"},
        {WaitingText(zh, 12), "等待服务器… 12 秒"},
        {WaitingText(en, 0), "Waiting for the server… 0 s"},
        // The server answers in the language the window asks for.
        {AcceptLanguageOf(en), "en"},
        {AcceptLanguageOf(zh), "zh-CN,zh"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected);
    }
}

}  // namespace
}  // namespace orvanta
