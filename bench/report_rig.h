// The power-quality report of a day of records (86,400, one a second) on a
// full-size sparse image file, against the analysis of the same records (the
// same range scan, each record's power quality, nothing kept); and the report
// of a week (604,800 records), timed the same way. Part of limit_bench, which
// writes the figures into docs/performance.md.
#pragma once

#include <string>

namespace orvanta {
namespace reportbench {

constexpr unsigned kDayOfRecords = 86400;
constexpr unsigned kWeekOfRecords = 604800;

// Writes the cards into `dir` and registers "ReportDay", "ReportDayFloor",
// "ReportWeek" and "ReportWeekFloor". The images live as long as `dir`.
void RegisterReportBenchmarks(const std::string& dir);

}  // namespace reportbench
}  // namespace orvanta
