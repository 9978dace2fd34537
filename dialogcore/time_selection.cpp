#include "dialogcore/time_selection.h"

#include <limits>

namespace orvanta {
namespace {

LocalFields FieldsOf(const TimeControlValues& controls) {
    LocalFields fields;
    fields.year = controls.year;
    fields.month = controls.month;
    fields.day = controls.day;
    fields.hour = controls.hourIndex;
    fields.minute = controls.minuteIndex;
    fields.second = controls.secondIndex;
    return fields;
}

TimeControlValues ControlsOf(const LocalFields& fields) {
    TimeControlValues controls;
    controls.year = fields.year;
    controls.month = fields.month;
    controls.day = fields.day;
    controls.hourIndex = fields.hour;
    controls.minuteIndex = fields.minute;
    controls.secondIndex = fields.second;
    return controls;
}

bool SameFields(const LocalFields& a, const LocalFields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

}  // namespace

std::int32_t ComposeTime(const TimeControlValues& controls) { return LocalStandardTime(FieldsOf(controls)); }

TimeControlValues CTimeSelection::Shown() const { return ControlsOf(LocalStandardFields(time_)); }

bool CTimeSelection::TakeFromControls(const TimeControlValues& controls) {
    const LocalFields fields = FieldsOf(controls);
    const std::int32_t time = LocalStandardTime(fields);
    // -1 also stands for "does not fit in 32 bits"; only the one moment that
    // really is -1 (a second before 1970 in UTC) is taken.
    if (time == -1 && !SameFields(LocalStandardFields(-1), fields)) return false;
    time_ = time;
    return true;
}

std::int32_t CTimeSelection::EarliestTime() {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    return LocalStandardTime(LocalStandardFields(kMin)) == kMin ? kMin : 0;
}

void CTimeSelection::Step(std::int32_t seconds) {
    const long long next = static_cast<long long>(time_) + seconds;
    if (next >= EarliestTime() && next <= std::numeric_limits<std::int32_t>::max()) {
        time_ = static_cast<std::int32_t>(next);
    }
}

TimeControlValues CTimeSelection::FirstDate() {
    return ControlsOf(LocalStandardFields(EarliestTime()));
}

TimeControlValues CTimeSelection::LastDate() {
    return ControlsOf(LocalStandardFields(std::numeric_limits<std::int32_t>::max()));
}

}  // namespace orvanta
