// IEC 61000-4-30's aggregation of per-record values into 10-minute clock
// intervals [hh:m0:00, +600 s) of local standard time: each quantity's
// interval value is the square root of the mean of the squares of its
// defined per-record values in the interval. An interval exists when it holds
// at least one record; a quantity without a defined value in it stays
// undefined there.
//
// Also the nearest-rank percentile of a set of interval values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvanta {
namespace analysis {

// The voltage harmonics that are aggregated: h = 2..25 (EN 50160's table).
constexpr int kFirstTableHarmonic = 2;
constexpr int kLastTableHarmonic = 25;
constexpr int kTableHarmonics = kLastTableHarmonic - kFirstTableHarmonic + 1;

// The aggregated quantities, by index.
enum Quantity : int {
    kVRms,    // V
    kIRms,    // A
    kVThdF,   // %
    kIThdF,   // %
    kTdd,     // %, only with a maximum demand current
    kVHarmonicFirst,  // 100 * V_h / V_1, h = 2..25, in order
    kQuantityCount = kVHarmonicFirst + kTableHarmonics
};

constexpr int HarmonicQuantity(int h) { return kVHarmonicFirst + h - kFirstTableHarmonic; }

struct RecordValues {
    std::int32_t time = 0;
    std::array<std::optional<double>, kQuantityCount> values{};
};

struct IntervalValues {
    std::int32_t start = 0;       // hh:m0:00 local standard time
    std::uint32_t records = 0;    // records in the interval
    std::array<std::optional<double>, kQuantityCount> values{};
};

class CIntervalAggregate {
public:
    static constexpr std::int32_t kIntervalSeconds = 600;

    // Records in any order of time; each lands in its own interval.
    void Add(const RecordValues& record);

    // The intervals in ascending order of start.
    std::vector<IntervalValues> Intervals() const;

private:
    struct Sums {
        std::int32_t start = 0;
        std::uint32_t records = 0;
        std::array<double, kQuantityCount> squares{};
        std::array<std::uint32_t, kQuantityCount> counts{};
    };
    Sums& IntervalOf(std::int32_t time);

    std::vector<Sums> sums_;
    std::size_t current_ = 0;  // the interval of the last record, usually the next one's
};

// The start of the 10-minute interval of local standard time holding `time`.
std::int32_t IntervalStartOf(std::int32_t time);

// Nearest rank: of the m values sorted ascending, the one at 1-based rank
// ceil(p/100 * m); undefined for no values. `percent` is 1..100.
std::optional<double> NearestRankPercentile(std::vector<double> values, int percent);

// The defined values of one quantity over the intervals.
std::vector<double> DefinedValues(const std::vector<IntervalValues>& intervals, int quantity);

}  // namespace analysis
}  // namespace orvanta
