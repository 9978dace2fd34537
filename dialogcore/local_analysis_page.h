// The local analysis page of the record a window shows (本地分析 / Local
// analysis): made here, from one period of the record (analysis/), never by
// the analysis server. Its heading says so; it has the waveform of both
// channels over the record's 126 pairs with the period (pairs 1 to 96)
// marked, bar charts of the harmonics to N of the voltage and the current, and
// the table of every value of analysis/power_quality.h. Complete HTML in
// UTF-8, in the window's language; both windows show it (on demand, and below
// the explanation when the server cannot be reached).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis/period.h"
#include "card/card_layout.h"
#include "card/card_reader.h"
#include "dialogcore/ui_language.h"

namespace orvanta {

struct ShownRecord {
    std::array<unsigned char, kSectorSize> bytes{};
    std::uint32_t sector = 0;
    std::int32_t time = 0;  // local standard time
    double ratioA = 1.0;
    double ratioB = 1.0;
};

// Reads the record that the reader's last query found (currentSector) again;
// false when the query found none or the sector no longer holds a record of
// that time (the card was changed or written since).
bool ReadShownRecord(CCardReader& reader, ShownRecord* record);

// The analysis as an HTML fragment (a <section id="local-analysis">), to be
// put into another page.
std::string LocalAnalysisSection(UiLanguage language, const ShownRecord& record,
                                 int orders = analysis::kDefaultOrders);

// The analysis as a page of its own.
std::string LocalAnalysisPage(UiLanguage language, const ShownRecord& record, int orders = analysis::kDefaultOrders);

// `page` with `section` put in before its </body> (at its end when it has none).
std::string WithLocalAnalysis(const std::string& page, const std::string& section);

}  // namespace orvanta
