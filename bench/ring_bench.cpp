// Ring discovery and time search on a full-size card: a sparse image of
// 60,000,001 sectors (the discovery probes up to sector 60,000,000 on every
// card) holding a wrapped ring, read through the platform's raw volumes.
// The fault-injecting wrapper, with no fault planned, reports the device
// operations of each call next to the bound the search limits allow.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "platform/fault_volume.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "cardimage/card_image.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

// Reads per call that the iteration limits allow.
constexpr double kFindRingBoundsBound = 241;
constexpr double kFindSectorByTimeBound = 92;

// The card, written once for all benchmarks and removed at exit.
class BenchCard {
public:
    BenchCard() {
        // 100,000 records, 2 a second on average (1, 3, 2 in turn), a 10 s
        // pause after every 100 seconds, and a current pass of 30,000 records.
        contents_.records = 100000;
        contents_.wrap = 30000;
        contents_.perSecond = {1, 3, 2};
        contents_.gapEvery = 100;
        contents_.gapSeconds = 10;
        std::string error;
        if (!cardimage::WriteCardImage(scratch_ / "card.img", contents_, &layout_, &error)) Fail(error);
        times_ = cardimage::RecordTimes(contents_);

        DriveMap drives;
        drives.Set('E', scratch_ / "card.img");
        volumes_ = std::make_unique<FaultVolumeSystem>(MakePlatformVolumeSystem(drives));
        reader_ = std::make_unique<CCardReader>(*volumes_);
        if (reader_->driveCode != 'E') Fail("the drive search did not find the card on E:");
        reader_->FindRingBounds();
        if (reader_->ringStart != layout_.ringStart || reader_->upperSector != layout_.upperSector) {
            Fail("the ring bounds found differ from the ring written");
        }
    }
    ~BenchCard() {
        reader_.reset();
    }

    CCardReader& Reader() { return *reader_; }
    VolumeCounters& Counts() { return volumes_->counters; }
    const std::vector<std::int32_t>& Times() const { return times_; }
    const cardimage::CardLayout& Layout() const { return layout_; }

private:
    [[noreturn]] void Fail(const std::string& message) {
        std::fprintf(stderr, "ring_bench: %s\n", message.c_str());
        std::exit(1);
    }

    testenv::TempDir scratch_;
    cardimage::CardContents contents_;
    cardimage::CardLayout layout_;
    std::vector<std::int32_t> times_;
    std::unique_ptr<FaultVolumeSystem> volumes_;
    std::unique_ptr<CCardReader> reader_;
};

BenchCard& Card() {
    static BenchCard card;
    return card;
}

void ReportOperations(benchmark::State& state, const VolumeCounters& before, const VolumeCounters& after,
                      double bound) {
    using benchmark::Counter;
    state.counters["opens"] = Counter(static_cast<double>(after.opens - before.opens), Counter::kAvgIterations);
    state.counters["positions"] =
        Counter(static_cast<double>(after.positions - before.positions), Counter::kAvgIterations);
    state.counters["reads"] = Counter(static_cast<double>(after.reads - before.reads), Counter::kAvgIterations);
    state.counters["closes"] = Counter(static_cast<double>(after.closes - before.closes), Counter::kAvgIterations);
    state.counters["read_bound"] = bound;
}

void BM_FindRingBounds(benchmark::State& state) {
    BenchCard& card = Card();
    CCardReader& reader = card.Reader();
    const VolumeCounters before = card.Counts();
    for (auto _ : state) {
        reader.FindRingBounds();
        benchmark::DoNotOptimize(reader.ringStart);
    }
    ReportOperations(state, before, card.Counts(), kFindRingBoundsBound);
    if (reader.ringStart != card.Layout().ringStart || reader.upperSector != card.Layout().upperSector) {
        state.SkipWithError("ring bounds differ from the ring written");
    }
}
BENCHMARK(BM_FindRingBounds)->Unit(benchmark::kMicrosecond);

enum Target { kRecordedSeconds, kBeforeOldest, kAfterNewest, kInGaps };

// The times searched for, in turn: seconds the card holds (spread over the
// ring), one before the oldest, one after the newest, or seconds of the
// pauses (the search then gives the last record before them).
std::vector<std::int32_t> TargetTimes(const BenchCard& card, Target target) {
    const std::vector<std::int32_t>& times = card.Times();
    std::vector<std::int32_t> targets;
    switch (target) {
        case kRecordedSeconds:
            for (std::size_t i = 0; i < times.size(); i += 997) targets.push_back(times[i]);
            break;
        case kBeforeOldest:
            targets.push_back(times.front() - 1);
            break;
        case kAfterNewest:
            targets.push_back(times.back() + 1);
            break;
        case kInGaps:
            for (std::size_t i = 1; i < times.size() && targets.size() < 100; ++i) {
                if (times[i] - times[i - 1] > 1) targets.push_back(times[i - 1] + 1);
            }
            break;
    }
    return targets;
}

void BM_FindSectorByTime(benchmark::State& state) {
    BenchCard& card = Card();
    CCardReader& reader = card.Reader();
    reader.FindRingBounds();
    const std::vector<std::int32_t> targets = TargetTimes(card, static_cast<Target>(state.range(0)));
    const VolumeCounters before = card.Counts();
    std::size_t next = 0;
    for (auto _ : state) {
        std::uint32_t sector = reader.FindSectorByTime(targets[next]);
        benchmark::DoNotOptimize(sector);
        next = next + 1 == targets.size() ? 0 : next + 1;
    }
    ReportOperations(state, before, card.Counts(), kFindSectorByTimeBound);
}
BENCHMARK(BM_FindSectorByTime)
    ->ArgName("target")  // 0 recorded seconds, 1 before oldest, 2 after newest, 3 in pauses
    ->Arg(kRecordedSeconds)
    ->Arg(kBeforeOldest)
    ->Arg(kAfterNewest)
    ->Arg(kInGaps)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
