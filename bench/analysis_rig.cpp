#include "bench/analysis_rig.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <fftw3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/period.h"
#include "analysis/quality_csv.h"
#include "analysis/range_analysis.h"
#include "bench/events_rig.h"
#include "card/card_layout.h"

namespace orvanta {
namespace analysisbench {
namespace {

using eventsbench::kDayOfRecords;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "limit_bench: %s\n", what.c_str());
    std::exit(1);
}

// The whole day through CRangeAnalysis, as `orvanta-card analyse` reads it;
// with `csv`, each record's row written as the command writes it.
void AnalyseBenchmark(benchmark::State& state, bool csv) {
    const analysis::CRangeAnalysis range(eventsbench::DayReader(), analysis::kDefaultOrders);
    std::string rows;
    for (auto _ : state) {
        analysis::CQualityCsvRows writer(false);
        double sum = 0.0;
        rows.clear();
        const analysis::RangeAnalysisResult result =
            range.Scan(TimeRange(), [&](std::uint32_t sector, std::int32_t time, const analysis::PowerQuality& q) {
                sum += q.voltage.rms;
                if (csv) {
                    writer.Append(time, sector, q, &rows);
                    if (rows.size() >= (1u << 20)) rows.clear();
                }
            });
        if (result.status != OverviewStatus::kDone || result.records != kDayOfRecords) Fail("the analysis failed");
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(rows.data());
    }
}

// The same sectors in the same runs through one descriptor, each record's two
// channels of pairs 1..96 as doubles through FFTW's plan, and nothing else.
void AnalyseFloorBenchmark(benchmark::State& state) {
    const int fd = ::open(eventsbench::DayImage().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open " + eventsbench::DayImage());
    double in[analysis::kPeriodSamples];
    fftw_complex out[analysis::kBins];
    const fftw_plan plan = fftw_plan_dft_r2c_1d(analysis::kPeriodSamples, in, out, FFTW_ESTIMATE);
    const std::uint32_t run = CRangeScan::kSectorsPerRead;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(run) * kSectorSize);
    for (auto _ : state) {
        double sum = 0.0;
        for (std::uint32_t done = 0; done < kDayOfRecords;) {
            const std::uint32_t count = std::min(run, kDayOfRecords - done);
            const std::size_t bytes = static_cast<std::size_t>(count) * kSectorSize;
            const auto offset = static_cast<off_t>(std::uint64_t{kBaseSector + done} * kSectorSize);
            if (::pread(fd, buffer.data(), bytes, offset) != static_cast<ssize_t>(bytes)) Fail("short read");
            for (std::uint32_t i = 0; i < count; ++i) {
                const unsigned char* sector = buffer.data() + static_cast<std::size_t>(i) * kSectorSize;
                for (int channel = 0; channel < 2; ++channel) {
                    for (int k = 0; k < analysis::kPeriodSamples; ++k) {
                        in[k] = PairSample(sector, analysis::kFirstPeriodPair + k, channel);
                    }
                    fftw_execute(plan);
                    sum += out[1][0];
                }
            }
            done += count;
        }
        benchmark::DoNotOptimize(sum);
    }
    fftw_destroy_plan(plan);
    ::close(fd);
}

}  // namespace

void RegisterAnalysisBenchmarks() {
    benchmark::RegisterBenchmark("AnalyseImage", [](benchmark::State& s) { AnalyseBenchmark(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("AnalyseImageCsv", [](benchmark::State& s) { AnalyseBenchmark(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("AnalyseImageFloor", AnalyseFloorBenchmark)->Unit(benchmark::kMillisecond);
}

}  // namespace analysisbench
}  // namespace orvanta
