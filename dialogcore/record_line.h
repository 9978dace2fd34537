// The status line's second line when the record shown is not the one asked
// for, and the line while the server is awaited. Both windows show these
// texts as they stand, in their language (UTF-8).
#pragma once

#include <cstdint>
#include <string>

#include "card/card_reader.h"
#include "dialogcore/ui_language.h"

namespace orvanta {

// Why a query found no record.
enum class NoRecordCause {
    kNoCard,          // no card was found at start
    kCardUnreadable,  // a card's drive is there but cannot be read (the card line says why)
    kNoneNear,        // the card holds no record near the second asked for
};

// The cause for a query on `reader` that gave no record; `startupCauseKnown`
// is true when a drive told at start why it could not be read.
NoRecordCause NoRecordCauseOf(const CCardReader& reader, bool startupCauseKnown);

// "所选时间附近没有记录 (14:30:00)" and the like: the cause, with the second
// asked for where the card was read.
std::string NoRecordText(UiLanguage language, NoRecordCause cause, std::int32_t asked);

// The second asked for holds no record and the nearest one is shown:
// "所选时间 14:30:00 无记录，显示最近的记录 13:59:59". Times of day when both
// lie on the same date, else with the date.
std::string NearestRecordText(UiLanguage language, std::int32_t asked, std::int32_t found);

// The second line after a query that asked for `asked` and shows the record
// of `shown` (0: none): why there is none, or that the nearest one is shown;
// empty when the record asked for is shown (each window words that line).
std::string QueryOutcomeText(UiLanguage language, const CCardReader& reader, bool startupCauseKnown,
                             std::int32_t asked, std::int32_t shown);

// "等待服务器… 12 秒" while a page is awaited.
std::string WaitingText(UiLanguage language, std::int64_t seconds);

}  // namespace orvanta
