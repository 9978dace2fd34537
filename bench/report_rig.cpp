#include "bench/report_rig.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "analysis/range_analysis.h"
#include "analysis/range_report.h"
#include "card/card_reader.h"
#include "cardimage/card_image.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace reportbench {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "limit_bench: %s\n", what.c_str());
    std::exit(1);
}

struct ReportRig {
    std::string image;
    unsigned records = 0;
    std::unique_ptr<RawVolumeSystem> volumes;
    std::unique_ptr<CCardReader> reader;
};

ReportRig& Rig(bool week) {
    static ReportRig rigs[2];
    return rigs[week ? 1 : 0];
}

void ReportBenchmark(benchmark::State& state, bool week) {
    ReportRig& rig = Rig(week);
    analysis::CRangeReport report(*rig.reader, analysis::ReportSettings());
    for (auto _ : state) {
        const analysis::RangeReport made = report.Make(TimeRange());
        if (made.status != OverviewStatus::kDone || made.figures.records != rig.records) Fail("the report failed");
        benchmark::DoNotOptimize(made.figures.verdicts.data());
    }
}

// The analysis of the same records through the same range scan, each
// record's figures computed and dropped.
void AnalysisBenchmark(benchmark::State& state, bool week) {
    ReportRig& rig = Rig(week);
    const analysis::CRangeAnalysis scan(*rig.reader, analysis::kDefaultOrders);
    for (auto _ : state) {
        double sum = 0.0;
        const analysis::RangeAnalysisResult result =
            scan.Scan(TimeRange(), [&sum](std::uint32_t, std::int32_t, const analysis::PowerQuality& q) {
                sum += q.voltage.rms;
            });
        if (result.status != OverviewStatus::kDone || result.records != rig.records) Fail("the analysis failed");
        benchmark::DoNotOptimize(sum);
    }
}

void MakeRig(ReportRig& rig, const std::string& image, unsigned records) {
    rig.image = image;
    rig.records = records;
    cardimage::CardContents contents;
    contents.records = records;
    std::string error;
    if (!cardimage::WriteCardImage(rig.image, contents, nullptr, &error)) Fail(error);
    DriveMap drives;
    drives.Set('E', rig.image);
    rig.volumes = MakePlatformVolumeSystem(drives);
    rig.reader = std::make_unique<CCardReader>(*rig.volumes);
    if (rig.reader->driveCode != 'E') Fail("no card found on " + rig.image);
}

}  // namespace

void RegisterReportBenchmarks(const std::string& dir) {
    MakeRig(Rig(false), dir + "/report-day.img", kDayOfRecords);
    MakeRig(Rig(true), dir + "/report-week.img", kWeekOfRecords);
    benchmark::RegisterBenchmark("ReportDay", [](benchmark::State& s) { ReportBenchmark(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReportDayFloor", [](benchmark::State& s) { AnalysisBenchmark(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReportWeek", [](benchmark::State& s) { ReportBenchmark(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReportWeekFloor", [](benchmark::State& s) { AnalysisBenchmark(s, true); })
        ->Unit(benchmark::kMillisecond);
}

}  // namespace reportbench
}  // namespace orvanta
