#include "card/local_time.h"

#include <cstdio>
#include <limits>

namespace orvanta {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int* year, int* month, int* day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    *year = static_cast<int>(y + (m <= 2));
    *month = static_cast<int>(m);
    *day = static_cast<int>(d);
}

// Shifts broken-down fields by a number of seconds with calendar arithmetic
// only (no time zone involved).
LocalFields AddSeconds(const LocalFields& f, long long seconds) {
    long long total = DaysFromCivil(f.year, static_cast<unsigned>(f.month), static_cast<unsigned>(f.day)) * 86400LL +
                      f.hour * 3600LL + f.minute * 60LL + f.second + seconds;
    long long days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
    long long rest = total - days * 86400;
    LocalFields out;
    CivilFromDays(days, &out.year, &out.month, &out.day);
    out.hour = static_cast<int>(rest / 3600);
    out.minute = static_cast<int>(rest / 60 % 60);
    out.second = static_cast<int>(rest % 60);
    return out;
}

std::time_t MkTimeStandard(const LocalFields& f) {
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = 0;
    return std::mktime(&tm);
}

}  // namespace

std::int32_t ToTime32(std::time_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        return -1;
    }
    return static_cast<std::int32_t>(value);
}

std::time_t LocalStandardSeconds(const LocalFields& fields) { return MkTimeStandard(fields); }

std::int32_t LocalStandardTime(const LocalFields& fields) { return ToTime32(MkTimeStandard(fields)); }

LocalFields LocalStandardFields(std::int32_t time) {
    std::time_t t = time;
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    LocalFields f;
    f.year = tm.tm_year + 1900;
    f.month = tm.tm_mon + 1;
    f.day = tm.tm_mday;
    f.hour = tm.tm_hour;
    f.minute = tm.tm_min;
    f.second = tm.tm_sec;
    // localtime shows summer time with its extra hour; step the fields until
    // the standard-time conversion gives the moment back.
    for (int i = 0; i < 4; ++i) {
        std::time_t back = MkTimeStandard(f);
        if (back == t || back == static_cast<std::time_t>(-1)) break;
        f = AddSeconds(f, static_cast<long long>(t) - static_cast<long long>(back));
    }
    return f;
}

std::string FormatLocalStandard(std::int32_t time) {
    LocalFields f = LocalStandardFields(time);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return text;
}

int StandardUtcOffset(std::int32_t time) {
    const LocalFields f = LocalStandardFields(time);
    const long long asUtc =
        DaysFromCivil(f.year, static_cast<unsigned>(f.month), static_cast<unsigned>(f.day)) * 86400LL +
        f.hour * 3600LL + f.minute * 60LL + f.second;
    return static_cast<int>(asUtc - time);
}

std::string FormatUtcOffset(int offsetSeconds) {
    const char sign = offsetSeconds < 0 ? '-' : '+';
    const long long magnitude = offsetSeconds < 0 ? -static_cast<long long>(offsetSeconds) : offsetSeconds;
    char text[32];
    std::snprintf(text, sizeof text, "UTC%c%02lld:%02lld", sign, magnitude / 3600, magnitude / 60 % 60);
    return text;
}

std::string LocalTimeColumn(std::int32_t at) {
    return "\"time (local standard time, " + FormatUtcOffset(StandardUtcOffset(at)) + ")\"";
}

bool ParseLocalFields(const std::string& text, LocalFields* fields) {
    LocalFields f;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &f.year, &f.month, &f.day, &f.hour, &f.minute,
                    &f.second, &tail) != 6) {
        return false;
    }
    if (f.year < 1900 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || f.hour < 0 || f.hour > 23 ||
        f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59) {
        return false;
    }
    *fields = f;
    return true;
}

}  // namespace orvanta
