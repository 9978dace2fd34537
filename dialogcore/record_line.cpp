#include "dialogcore/record_line.h"

#include "card/local_time.h"
#include "dialogcore/html_text.h"

namespace orvanta {
namespace {

const Bilingual kNoCard = {"未找到存储卡，没有可显示的记录", "No card found: no record to show"};
const Bilingual kUnreadable = {"存储卡无法读取，没有可显示的记录", "The card cannot be read: no record to show"};
const Bilingual kNoneNear = {"所选时间 %1 附近没有记录", "No record near the selected time %1"};
const Bilingual kNearest = {"所选时间 %1 无记录，显示最近的记录 %2", "No record at %1; showing the nearest, %2"};
const Bilingual kWaiting = {"等待服务器… %1 秒", "Waiting for the server… %1 s"};

// "2024-06-25 14:30:00" -> "14:30:00".
std::string TimeOfDay(const std::string& stamp) {
    const std::size_t blank = stamp.find(' ');
    return blank == std::string::npos ? stamp : stamp.substr(blank + 1);
}

std::string DateOf(const std::string& stamp) { return stamp.substr(0, stamp.find(' ')); }

}  // namespace

NoRecordCause NoRecordCauseOf(const CCardReader& reader, bool startupCauseKnown) {
    if (reader.StartupDriveCode() == kNoCardDriveCode) {
        return startupCauseKnown ? NoRecordCause::kCardUnreadable : NoRecordCause::kNoCard;
    }
    return reader.driveCode == kNoCardDriveCode ? NoRecordCause::kCardUnreadable : NoRecordCause::kNoneNear;
}

std::string NoRecordText(UiLanguage language, NoRecordCause cause, std::int32_t asked) {
    switch (cause) {
    case NoRecordCause::kNoCard:
        return In(language, kNoCard);
    case NoRecordCause::kCardUnreadable:
        return In(language, kUnreadable);
    case NoRecordCause::kNoneNear:
        break;
    }
    return FillPlaces(In(language, kNoneNear), {FormatLocalStandard(asked)});
}

std::string NearestRecordText(UiLanguage language, std::int32_t asked, std::int32_t found) {
    std::string askedText = FormatLocalStandard(asked);
    std::string foundText = FormatLocalStandard(found);
    if (DateOf(askedText) == DateOf(foundText)) {
        askedText = TimeOfDay(askedText);
        foundText = TimeOfDay(foundText);
    }
    return FillPlaces(In(language, kNearest), {askedText, foundText});
}

std::string QueryOutcomeText(UiLanguage language, const CCardReader& reader, bool startupCauseKnown,
                             std::int32_t asked, std::int32_t shown) {
    if (shown <= 0) return NoRecordText(language, NoRecordCauseOf(reader, startupCauseKnown), asked);
    return shown == asked ? std::string() : NearestRecordText(language, asked, shown);
}

std::string WaitingText(UiLanguage language, std::int64_t seconds) {
    return FillPlaces(In(language, kWaiting), {std::to_string(seconds)});
}

}  // namespace orvanta
