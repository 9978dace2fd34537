// The events rules on hand-made traces of channel B trend values: integer
// thresholds with 2 % hysteresis against the nominal voltage, a dip that
// becomes an interruption, the record that ends one event starting another,
// pauses of more than 2 s and the end of the records ending an open event as
// not ended, several records in one second.
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "card/event_csv.h"
#include "card/event_detector.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

struct Record {
    std::int32_t time;
    std::int32_t volts;
};

struct Expected {
    EventKind kind;
    std::int32_t start;
    std::int32_t end;
    std::int32_t extreme;
    std::uint64_t records;
    bool ended;
};

struct TraceCase {
    const char* name;
    std::int32_t nominal;
    std::vector<Record> trace;
    std::vector<Expected> events;
};

constexpr EventKind kDip = EventKind::kDip;
constexpr EventKind kCut = EventKind::kInterruption;
constexpr EventKind kSwell = EventKind::kSwell;

// With U = 220: a dip starts at 197 V and below, ends at 203 V and above; a
// swell starts at 243 V and above, ends at 237 V and below; an interruption's
// minimum is 21 V or below.
const TraceCase kTraces[] = {
    {"a dip that ends", 220, {{0, 220}, {1, 190}, {2, 185}, {3, 195}, {4, 205}, {5, 220}},
     {{kDip, 1, 4, 185, 3, true}}},
    {"a dip that becomes an interruption", 220, {{0, 220}, {1, 150}, {2, 21}, {3, 60}, {4, 221}},
     {{kCut, 1, 4, 21, 3, true}}},
    {"a swell that turns into a dip", 220, {{0, 220}, {1, 250}, {2, 260}, {3, 190}, {4, 180}, {5, 215}},
     {{kSwell, 1, 3, 260, 2, true}, {kDip, 3, 5, 180, 2, true}}},
    {"a dip that turns into a swell", 220, {{0, 190}, {1, 243}, {2, 238}, {3, 237}},
     {{kDip, 0, 1, 190, 1, true}, {kSwell, 1, 3, 243, 2, true}}},
    {"hysteresis at 91 %: neither starts nor ends a dip", 220,
     {{0, 200}, {1, 200}, {2, 197}, {3, 200}, {4, 202}, {5, 200}, {6, 203}, {7, 200}},
     {{kDip, 2, 6, 197, 4, true}}},
    {"hysteresis at 109 %: neither starts nor ends a swell", 220, {{0, 240}, {1, 243}, {2, 240}, {3, 238}, {4, 237}},
     {{kSwell, 1, 4, 243, 3, true}}},
    {"integer thresholds at U = 230", 230,
     {{0, 207}, {1, 253}, {2, 206}, {3, 211}, {4, 212}, {5, 254}, {6, 249}, {7, 248}, {8, 23}, {9, 212}, {10, 22},
      {11, 212}},
     {{kDip, 2, 4, 206, 2, true}, {kSwell, 5, 7, 254, 2, true}, {kDip, 8, 9, 23, 1, true}, {kCut, 10, 11, 22, 1, true}}},
    {"a pause inside an event", 220, {{0, 220}, {1, 190}, {3, 185}, {5, 190}, {9, 180}, {10, 230}},
     {{kDip, 1, 5, 185, 3, false}, {kDip, 9, 10, 180, 1, true}}},
    {"a pause between events ends nothing", 220, {{0, 190}, {1, 220}, {60, 250}, {61, 230}},
     {{kDip, 0, 1, 190, 1, true}, {kSwell, 60, 61, 250, 1, true}}},
    {"an event open at the range's end", 220, {{0, 220}, {1, 250}, {2, 245}}, {{kSwell, 1, 2, 250, 2, false}}},
    {"groups of records in one second", 220,
     {{0, 220}, {0, 190}, {0, 180}, {1, 190}, {1, 205}, {1, 190}, {1, 196}, {2, 220}, {2, 100}},
     {{kDip, 0, 1, 180, 3, true}, {kDip, 1, 2, 190, 2, true}, {kDip, 2, 2, 100, 1, false}}},
    {"no records, no events", 220, {}, {}},
};

class EventRules : public ::testing::TestWithParam<TraceCase> {};

TEST_P(EventRules, TraceGivesItsEvents) {
    const TraceCase& c = GetParam();
    CEventDetector detector(c.nominal);
    for (const Record& r : c.trace) detector.Add(r.time, r.volts);
    detector.Finish();
    const std::vector<PowerEvent>& events = detector.Events();
    ASSERT_EQ(events.size(), c.events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        const Expected& e = c.events[i];
        EXPECT_EQ(EventKindName(events[i].kind), std::string(EventKindName(e.kind)));
        EXPECT_EQ(events[i].start, e.start);
        EXPECT_EQ(events[i].end, e.end);
        EXPECT_EQ(events[i].DurationSeconds(), e.end - e.start);
        EXPECT_EQ(events[i].extreme, e.extreme);
        EXPECT_EQ(events[i].records, e.records);
        EXPECT_EQ(events[i].ended, e.ended);
    }
}

INSTANTIATE_TEST_SUITE_P(Traces, EventRules, ::testing::ValuesIn(kTraces),
                         [](const ::testing::TestParamInfo<TraceCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p != '\0'; ++p) {
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             }
                             return name;
                         });

TEST(EventsCsv, RowsCarryLocalStandardTimesAndTheEndedFlag) {
    testenv::ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t start = testenv::TimeOfFields(2024, 3, 15, 23, 59, 58);
    PowerEvent dip{EventKind::kInterruption, start, start + 3, 12, 4, true};
    PowerEvent swell{EventKind::kSwell, start + 3, start + 3, 250, 1, false};
    EXPECT_EQ(EventsCsv({dip, swell}),
              "kind,start,end,duration_s,extreme_v,records,ended\n"
              "interruption,2024-03-15 23:59:58,2024-03-16 00:00:01,3,12,4,1\n"
              "swell,2024-03-16 00:00:01,2024-03-16 00:00:01,0,250,1,0\n");
    EXPECT_EQ(EventsCsv({}), "kind,start,end,duration_s,extreme_v,records,ended\n");
}

}  // namespace
}  // namespace orvanta
