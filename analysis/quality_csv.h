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

// The header line, without its line end; `timeColumn` heads the first
// column ("time (local standard time, UTC+08:00)", card/local_time.h).
std::string QualityCsvHeader(int orders, bool harmonics, const std::string& timeColumn);

// Writes rows: each row's time is converted once an hour of recording and
// then counted on (local standard time has no offset change inside an hour),
// as the ring searches' decoder does, since the C library's conversion costs
// more than the rest of a row.
class CQualityCsvRows {
public:
    explicit CQualityCsvRows(bool harmonics) : harmonics_(harmonics) {}

    // Appends one row and its line end to `csv`.
    void Append(std::int32_t time, std::uint32_t sector, const PowerQuality& quality, std::string* csv);

private:
    void AppendTime(std::int32_t time, std::string* csv);

    bool harmonics_;
    bool hourKnown_ = false;
    std::int32_t hourStart_ = 0;
    std::string hourText_;  // "YYYY-MM-DD HH:"
};

}  // namespace analysis
}  // namespace orvanta
