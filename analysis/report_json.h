// The report's figures for machines, as one JSON object. Numbers are JSON
// numbers (printf %.9g), an undefined figure is null, times are
// "YYYY-MM-DD HH:MM:SS" in local standard time. The keys are documented in
// the README ("Power-quality report").
#pragma once

#include <string>

#include "analysis/range_report.h"

namespace orvanta {
namespace analysis {

std::string ReportJson(const RangeReport& report);

}  // namespace analysis
}  // namespace orvanta
