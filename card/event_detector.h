// Dips, swells and interruptions of channel B's trend values, record by
// record, in whole volts against a nominal voltage U, with integer
// thresholds and 2 % hysteresis:
// - a dip starts at a record with 100 v < 90 U and ends at the first later
//   record with 100 v >= 92 U;
// - a swell starts at a record with 100 v > 110 U and ends at the first later
//   record with 100 v <= 108 U;
// - the record that ends an event may start one of the other kind;
// - a dip whose minimum has 100 min < 10 U is an interruption.
// A pause of more than 2 s between consecutive records, or the end of the
// records, ends an open event at its last record, as not ended.
#pragma once

#include <cstdint>
#include <vector>

namespace orvanta {

// The nominal voltage when nothing else is configured, and the largest one
// taken, in volts.
constexpr std::int32_t kDefaultNominalVolts = 220;
constexpr std::int32_t kMaxNominalVolts = 1000000;

enum class EventKind { kDip, kInterruption, kSwell };

// "dip", "interruption" or "swell".
const char* EventKindName(EventKind kind);

struct PowerEvent {
    EventKind kind = EventKind::kDip;
    std::int32_t start = 0;    // time of its first record
    std::int32_t end = 0;      // time of the record that ended it, or of its last record
    std::int32_t extreme = 0;  // minimum of a dip or an interruption, maximum of a swell
    std::uint64_t records = 0; // its records, the ending record not counted
    bool ended = false;        // ended by a record back inside the band

    std::int32_t DurationSeconds() const { return end - start; }
};

class CEventDetector {
public:
    // Pauses longer than this many seconds end an open event.
    static constexpr std::int32_t kLongestStep = 2;

    explicit CEventDetector(std::int32_t nominalVolts);

    // The next record, in ring order: its time and its channel B trend value.
    void Add(std::int32_t time, std::int32_t volts);
    // No more records: an open event ends at its last record, not ended.
    void Finish();

    const std::vector<PowerEvent>& Events() const { return events_; }

private:
    void Start(EventKind kind, std::int32_t time, std::int32_t volts);
    void Close(std::int32_t end, bool ended);
    bool IsLow(std::int64_t volts) const { return 100 * volts < 90 * nominal_; }
    bool IsHigh(std::int64_t volts) const { return 100 * volts > 110 * nominal_; }

    std::int64_t nominal_;
    bool open_ = false;
    PowerEvent current_;
    bool haveLast_ = false;
    std::int32_t lastTime_ = 0;
    std::vector<PowerEvent> events_;
};

}  // namespace orvanta
