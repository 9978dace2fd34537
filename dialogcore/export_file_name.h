// The file name both windows propose for an export of the record shown:
// "orvanta-YYYY-MM-DD_HHMMSS.SUFFIX" with the record's local standard time
// (the time the record's line shows), or "orvanta.SUFFIX" without a record.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta {

std::string ExportFileName(std::int32_t recordTime, const std::string& suffix);

}  // namespace orvanta
