// The page the browser shows before the first query: what the client found
// at start (the card, or how to map one) and how the window is used.
#pragma once

#include <string>

#include "card/card_summary.h"
#include "dialogcore/ui_language.h"

namespace orvanta {

// A complete HTML page (UTF-8) in `language`. `devicePath` is the path the
// card's drive letter is mapped to, UTF-8 (empty when unknown). Times are
// local standard time.
std::string StartPage(UiLanguage language, const CardSummary& card, const std::string& devicePath);

}  // namespace orvanta
