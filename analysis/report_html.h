// The power-quality report as one self-contained HTML page, printable on A4:
// the card, the range, its records and gaps; a verdict for each criterion
// with its figure and limit; inline SVG charts (v10 over time with the
// +-10 % band, v_thd_f10 with the 8 % line, the harmonics' 95th percentiles
// against their limits); the events table and list; and the note on what one
// period a second can show. Every text from outside is escaped.
#pragma once

#include <string>

#include "analysis/range_report.h"
#include "dialogcore/ui_language.h"

namespace orvanta {
namespace analysis {

std::string ReportHtml(const RangeReport& report, UiLanguage language);

// The caption of a verdict ("en50160_voltage", ...) in the language.
std::string VerdictCaption(const char* name, UiLanguage language);

}  // namespace analysis
}  // namespace orvanta
