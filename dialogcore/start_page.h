// The page the browser shows before the first query: what the client found
// at start (the card, or how to map one) and how the window is used.
#pragma once

#include <string>
#include <vector>

#include "card/card_summary.h"
#include "dialogcore/ui_language.h"

namespace orvanta {

// The calibration ratios in use, for the start page: their values, the
// ratio.txt they came from ("" when none was found) and warnings about them
// (UTF-8 sentences, shown as they are: a value not taken because it is not a
// finite number, a refused file).
struct RatioFacts {
    double ratioA = 1.0;
    double ratioB = 1.0;
    std::string source;
    std::vector<std::string> warnings;
};

// The configuration in use, for the start page: the file read (UTF-8), whether
// it exists (else the places looked in), and its server address.
struct ConfigFacts {
    std::string iniPath;
    bool found = false;
    std::vector<std::string> candidates;
    std::string serverBaseUrl;
};

// A complete HTML page (UTF-8) in `language`. `devicePath` is the path the
// card's drive letter is mapped to, UTF-8 (empty when unknown). Times are
// local standard time. With `ratios` the page also shows the ratios in use,
// where they came from and their warnings, and warns when there was no
// ratio.txt. Without a card, `driveReport` lines (one a drive:
// what it holds or why it could not be read, UTF-8) are listed. With
// `config` it names the server address and the configuration file.
std::string StartPage(UiLanguage language, const CardSummary& card, const std::string& devicePath,
                      const RatioFacts* ratios = nullptr, const std::vector<std::string>* driveReport = nullptr,
                      const ConfigFacts* config = nullptr);

}  // namespace orvanta
