// The page the browser shows before the first query: what the client found
// at start (the card, or how to map one) and how the window is used, in the
// window's current language. Its texts live in dialogcore/.
#pragma once

#include <string>

#include <QString>

#include "card/card_summary.h"
#include "dialogcore/start_page.h"

namespace orvanta {

// A complete HTML page. `devicePath` is the path the card's drive letter is
// mapped to (empty when unknown). Times are local standard time.
QString StartPage(const CardSummary& card, const std::string& devicePath, const RatioFacts* ratios = nullptr,
                  const std::vector<std::string>* driveReport = nullptr, const ConfigFacts* config = nullptr);

}  // namespace orvanta
