// The CSV of the local analysis, one row per record, as `orvanta-card
// analyse` writes it: the record's local standard time and physical sector,
// then the figures of power_quality.h as printf "%.9g", an undefined value as
// an empty field; with the harmonics, then v_h1 (V) .. v_hN (V) and
// i_h1 (A) .. i_hN (A).
#pragma once

#include <cstdint>
#include <string>

#include "analysis/power_quality.h"

namespace orvanta {
namespace analysis {

// The header line, without its line end.
std::string QualityCsvHeader(int orders, bool harmonics);

// Appends one row and its line end to `csv`.
void AppendQualityCsvRow(std::int32_t time, std::uint32_t sector, const PowerQuality& quality, bool harmonics,
                         std::string* csv);

}  // namespace analysis
}  // namespace orvanta
