// The recording as CSV, one row per record: its local standard time, sector,
// trend point (whole amperes and volts, empty when the record gives none) and
// real-valued RMS (empty without a record marker). orvanta-card overview and
// the window's export of its strip write it; the record export's trend table
// uses the same columns for the records of the trend text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/card_overview.h"
#include "card/trend_record.h"

namespace orvanta {

// The header line without its line end; the time column carries the UTC
// offset of local standard time at `zoneAt`.
std::string OverviewCsvHeader(std::int32_t zoneAt);

// One row, with its line end. `point` and `rms` may be null (empty fields).
void AppendOverviewCsvRow(std::int32_t time, std::uint32_t sector, const TrendPoint* point, const RecordRms* rms,
                          std::string* csv);

// Header and rows of the samples; the offset is the first sample's.
std::string OverviewCsv(const std::vector<OverviewSample>& samples);

// Header and rows of the trend text's records.
std::string TrendRecordsCsv(const std::vector<TrendRecord>& records, std::int32_t zoneAt);

}  // namespace orvanta
