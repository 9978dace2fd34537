// Local time as the recorder and the window use it: a broken-down local time
// is converted with mktime and the daylight-saving flag 0, so every moment
// counts as local standard time. Time values are signed 32-bit seconds since
// 1970-01-01 00:00 UTC; a conversion a 32-bit count cannot hold gives -1.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace orvanta {

struct LocalFields {
    int year = 1970;   // calendar year
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// mktime of the fields with every other field 0 (daylight-saving flag 0).
// Out-of-range fields carry over as mktime does (hour 24 is the next day).
// Returns -1 when the result does not fit in a signed 32-bit count.
std::int32_t LocalStandardTime(const LocalFields& fields);

// mktime of the fields as above, without the 32-bit limit: -1 when mktime
// fails.
std::time_t LocalStandardSeconds(const LocalFields& fields);

// A 64-bit time as a signed 32-bit time, -1 when it does not fit.
std::int32_t ToTime32(std::time_t value);

// The fields that LocalStandardTime turns back into `time`: the local
// standard time of that moment, also in summer in a zone with daylight saving.
LocalFields LocalStandardFields(std::int32_t time);

// "YYYY-MM-DD HH:MM:SS" of LocalStandardFields(time).
std::string FormatLocalStandard(std::int32_t time);

// The offset of local standard time from UTC at that moment, in seconds east
// of UTC (28800 in Asia/Shanghai; 3600 in Europe/Berlin, summer or winter).
int StandardUtcOffset(std::int32_t time);

// "UTC+08:00", "UTC-05:00", "UTC+05:45", "UTC+00:00" for an offset in seconds.
std::string FormatUtcOffset(int offsetSeconds);

// The heading of a CSV column of such times, with the standard offset at
// `at`, as a CSV field: quoted, since it holds a comma:
// "\"time (local standard time, UTC+08:00)\"".
std::string LocalTimeColumn(std::int32_t at);

// Parses "YYYY-MM-DD HH:MM:SS" (each field in its calendar range) into fields.
bool ParseLocalFields(const std::string& text, LocalFields* fields);

}  // namespace orvanta
