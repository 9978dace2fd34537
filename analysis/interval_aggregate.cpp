#include "analysis/interval_aggregate.h"

#include <algorithm>
#include <cmath>

#include "card/local_time.h"

namespace orvanta {
namespace analysis {

std::int32_t IntervalStartOf(std::int32_t time) {
    const LocalFields fields = LocalStandardFields(time);
    return time - ((fields.minute % 10) * 60 + fields.second);
}

CIntervalAggregate::Sums& CIntervalAggregate::IntervalOf(std::int32_t time) {
    // Records come in time order almost always: the last interval, or the next.
    if (!sums_.empty()) {
        const Sums& last = sums_[current_];
        if (time >= last.start && time - last.start < kIntervalSeconds) return sums_[current_];
    }
    const std::int32_t start = IntervalStartOf(time);
    const auto found = std::find_if(sums_.rbegin(), sums_.rend(), [start](const Sums& s) { return s.start == start; });
    if (found != sums_.rend()) {
        current_ = static_cast<std::size_t>(sums_.rend() - found) - 1;
    } else {
        Sums fresh;
        fresh.start = start;
        sums_.push_back(fresh);
        current_ = sums_.size() - 1;
    }
    return sums_[current_];
}

void CIntervalAggregate::Add(const RecordValues& record) {
    Sums& sums = IntervalOf(record.time);
    ++sums.records;
    for (int q = 0; q < kQuantityCount; ++q) {
        if (!record.values[q]) continue;
        const double value = *record.values[q];
        sums.squares[q] += value * value;
        ++sums.counts[q];
    }
}

std::vector<IntervalValues> CIntervalAggregate::Intervals() const {
    std::vector<IntervalValues> intervals;
    intervals.reserve(sums_.size());
    for (const Sums& sums : sums_) {
        IntervalValues interval;
        interval.start = sums.start;
        interval.records = sums.records;
        for (int q = 0; q < kQuantityCount; ++q) {
            if (sums.counts[q] > 0) interval.values[q] = std::sqrt(sums.squares[q] / sums.counts[q]);
        }
        intervals.push_back(interval);
    }
    std::sort(intervals.begin(), intervals.end(),
              [](const IntervalValues& a, const IntervalValues& b) { return a.start < b.start; });
    return intervals;
}

std::optional<double> NearestRankPercentile(std::vector<double> values, int percent) {
    if (values.empty()) return std::nullopt;
    // ceil(percent * m / 100) in integers, so that 0.95 * 20 is exactly 19.
    const std::size_t m = values.size();
    std::size_t rank = (static_cast<std::size_t>(percent) * m + 99) / 100;
    rank = std::max<std::size_t>(rank, 1);
    std::nth_element(values.begin(), values.begin() + (rank - 1), values.end());
    return values[rank - 1];
}

std::vector<double> DefinedValues(const std::vector<IntervalValues>& intervals, int quantity) {
    std::vector<double> values;
    values.reserve(intervals.size());
    for (const IntervalValues& interval : intervals) {
        if (interval.values[quantity]) values.push_back(*interval.values[quantity]);
    }
    return values;
}

}  // namespace analysis
}  // namespace orvanta
