#include "bench/events_rig.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "card/event_scan.h"
#include "card/trend_point.h"
#include "cardimage/card_image.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace eventsbench {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "limit_bench: %s\n", what.c_str());
    std::exit(1);
}

struct EventsRig {
    std::string image;
    std::unique_ptr<RawVolumeSystem> volumes;
    std::unique_ptr<CCardReader> reader;
};

EventsRig& Rig() {
    static EventsRig rig;
    return rig;
}

void EventsBenchmark(benchmark::State& state) {
    const CEventScan scan(*Rig().reader);
    std::uint64_t records = 0;
    for (auto _ : state) {
        const EventScanResult result = scan.Scan(EventScanRequest());
        if (result.status != OverviewStatus::kDone || result.records != kDayOfRecords) Fail("the event scan failed");
        records = result.records;
        benchmark::DoNotOptimize(result.events.data());
    }
    state.counters["records"] = static_cast<double>(records);
}

// The same sectors, oldest first, in runs of the scan's read size, through
// one descriptor; every record's trend point with the scan's arithmetic.
void EventsFloorBenchmark(benchmark::State& state) {
    const CCardReader& reader = *Rig().reader;
    const int fd = ::open(Rig().image.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open " + Rig().image);
    const CTrendPointCalculator points(reader.offsetB, reader.ratioA, reader.ratioB);
    std::vector<unsigned char> buffer(static_cast<std::size_t>(CEventScan::kSectorsPerRead) * kSectorSize);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (std::uint32_t done = 0; done < kDayOfRecords;) {
            const std::uint32_t count = std::min(CEventScan::kSectorsPerRead, kDayOfRecords - done);
            const std::size_t bytes = static_cast<std::size_t>(count) * kSectorSize;
            const auto offset = static_cast<off_t>(std::uint64_t{kBaseSector + done} * kSectorSize);
            if (::pread(fd, buffer.data(), bytes, offset) != static_cast<ssize_t>(bytes)) Fail("short read");
            for (std::uint32_t i = 0; i < count; ++i) {
                TrendPoint point;
                if (points.PointOf(buffer.data() + static_cast<std::size_t>(i) * kSectorSize, &point)) {
                    sum += point.valueB;
                }
            }
            done += count;
        }
        benchmark::DoNotOptimize(sum);
    }
    ::close(fd);
}

}  // namespace

const std::string& DayImage() { return Rig().image; }
const CCardReader& DayReader() { return *Rig().reader; }

void RegisterEventsBenchmarks(const std::string& dir) {
    EventsRig& rig = Rig();
    rig.image = dir + "/day.img";
    cardimage::CardContents contents;
    contents.records = kDayOfRecords;
    std::string error;
    if (!cardimage::WriteCardImage(rig.image, contents, nullptr, &error)) Fail(error);
    DriveMap drives;
    drives.Set('E', rig.image);
    rig.volumes = MakePlatformVolumeSystem(drives);
    rig.reader = std::make_unique<CCardReader>(*rig.volumes);
    if (rig.reader->driveCode != 'E') Fail("no card found on " + rig.image);
    benchmark::RegisterBenchmark("EventsImage", EventsBenchmark)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EventsImageFloor", EventsFloorBenchmark)->Unit(benchmark::kMillisecond);
}

}  // namespace eventsbench
}  // namespace orvanta
