// One whole card query on a full-size card image, and the two measurement
// texts on their own. The image is a sparse file of 60,000,001 sectors (the
// ring discovery probes up to sector 60,000,000 on every card) holding a
// wrapped ring with several records per second; it is read through the
// platform's raw volumes, counted by a decorator, so the report shows the
// device operations of one query next to the bound its steps allow.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "card/card_reader.h"
#include "card/local_time.h"
#include "platform/fault_volume.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "cardimage/card_image.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

constexpr std::uint64_t kImageSectors = cardimage::kFullCardSectors;
constexpr std::uint32_t kRingCount = 40000;     // records in the ring
constexpr std::uint32_t kCurrentPass = 15000;   // newest records from kBaseSector on
constexpr std::uint32_t kPerSecond = 8;         // records sharing one second
// Upper bound of one query: presence 2, device record 1, ring bounds 241,
// time search 92, backward scan 60, the record 1, and the trend's one read.
constexpr double kBoundSingleSectorReads = 2 + 1 + 241 + 92 + 60 + 1;
constexpr double kBoundTrendReads = 1;

// The card image and the reader on it, made once for all benchmarks.
class CardImage {
public:
    CardImage() {
        path_ = scratch_ / "card.img";
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd_ < 0) Fail("open image");
        if (::ftruncate(fd_, static_cast<off_t>(kImageSectors * kSectorSize)) != 0) Fail("ftruncate");
        WriteInfoSector();
        WriteRing();
        ::close(fd_);
        fd_ = -1;

        DriveMap drives;
        drives.Set('E', path_);
        volumes_ = std::make_unique<FaultVolumeSystem>(MakePlatformVolumeSystem(drives));
        reader_ = std::make_unique<CCardReader>(*volumes_);
        // A second in the older pass, held by kPerSecond records, on which the
        // time search lands inside the group rather than on its first record,
        // so that the backward scan has steps to take.
        reader_->FindRingBounds();
        for (std::uint32_t second = (kRingCount / 3) / kPerSecond; second < kRingCount / kPerSecond; ++second) {
            const std::int32_t t = firstTime_ + static_cast<std::int32_t>(second);
            const std::uint32_t found = reader_->FindSectorByTime(t);
            if (reader_->ScanBackward(found) != found) {
                selected_ = t;
                break;
            }
        }
        errno = 0;
        if (selected_ == 0) Fail("no second whose search lands inside its group");
    }

    CCardReader& Reader() { return *reader_; }
    FaultVolumeSystem& Volumes() { return *volumes_; }
    std::int32_t Selected() const { return selected_; }

private:
    [[noreturn]] static void Fail(const char* what) {
        if (errno != 0) {
            std::fprintf(stderr, "query_bench: %s: %s\n", what, std::strerror(errno));
        } else {
            std::fprintf(stderr, "query_bench: %s\n", what);
        }
        std::exit(1);
    }

    void WriteSectors(std::uint64_t first, const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                       static_cast<off_t>(first * kSectorSize + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) Fail("pwrite");
            done += static_cast<std::size_t>(n);
        }
    }

    void WriteInfoSector() {
        std::vector<std::uint8_t> info(kSectorSize, 0);
        cardimage::BuildInfoSector(20240315, 7, info.data());
        WriteSectors(kInfoSector, info);
    }

    // Samples of logical index i (0 = oldest) that qualify for the trend.
    static void FillSamples(std::uint32_t index, std::uint8_t* sector) {
        for (int k = 0; k < kSamplePairs; ++k) {
            const int phase = (k + static_cast<int>(index)) % 21 - 10;
            cardimage::PutSamplePair(sector, k, static_cast<std::uint16_t>(509 + 30 * phase),
                                     static_cast<std::uint16_t>(509 - 40 * phase));
        }
    }

    // Wrapped ring, kPerSecond records per second: the newest kCurrentPass
    // records at the base sector, the older ones behind them up to the ring's
    // last sector; zeros behind. Built in memory, written with one pwrite.
    void WriteRing() {
        firstTime_ = LocalStandardTime(LocalFields{2024, 3, 15, 10, 0, 0});
        std::vector<std::uint8_t> ring(static_cast<std::size_t>(kRingCount) * kSectorSize, 0);
        cardimage::WriteRing(
            cardimage::RingShape{kBaseSector, kRingCount, kCurrentPass},
            [this](std::uint32_t index) { return firstTime_ + static_cast<std::int32_t>(index / kPerSecond); },
            [&ring](std::uint32_t index, std::uint32_t physical, std::int32_t, const std::uint8_t* header) {
                std::uint8_t* sector = ring.data() + static_cast<std::size_t>(physical - kBaseSector) * kSectorSize;
                std::memcpy(sector, header, 7);
                FillSamples(index, sector);
            });
        WriteSectors(kBaseSector, ring);
    }

    testenv::TempDir scratch_;
    std::string path_;
    int fd_ = -1;
    std::int32_t firstTime_ = 0;
    std::int32_t selected_ = 0;
    std::unique_ptr<FaultVolumeSystem> volumes_;
    std::unique_ptr<CCardReader> reader_;
};

CardImage* gImage = nullptr;

void BM_QueryCard(benchmark::State& state) {
    CCardReader& reader = gImage->Reader();
    FaultVolumeSystem& volumes = gImage->Volumes();
    const std::int32_t selected = gImage->Selected();
    volumes.counters = VolumeCounters();
    for (auto _ : state) {
        reader.QueryCard(selected);
        benchmark::DoNotOptimize(reader.trendText);
    }
    if (reader.actualTime != selected || reader.driveCode != 'E') {
        state.SkipWithError("the query did not find the selected second on drive E");
        return;
    }
    const VolumeCounters& c = volumes.counters;
    using benchmark::Counter;
    state.counters["opens"] = Counter(static_cast<double>(c.opens), Counter::kAvgIterations);
    state.counters["reads"] = Counter(static_cast<double>(c.reads), Counter::kAvgIterations);
    state.counters["positions"] = Counter(static_cast<double>(c.positions), Counter::kAvgIterations);
    state.counters["bytes"] = Counter(static_cast<double>(c.bytesRead), Counter::kAvgIterations);
    state.counters["bound_reads"] = kBoundSingleSectorReads + kBoundTrendReads;
    state.counters["bound_bytes"] = kBoundSingleSectorReads * 512 + 512000;
    // Where the time search lands inside the second's group, and the first
    // record of the group that the backward scan reached.
    const std::uint32_t first = reader.currentSector;
    const std::uint32_t found = reader.FindSectorByTime(selected);
    state.SetLabel("found " + std::to_string(found) + ", first of its second " + std::to_string(first) + ", ring " +
                   std::to_string(reader.ringStart) + ".." + std::to_string(reader.upperSector));
}

void BM_BuildWaveText(benchmark::State& state) {
    CCardReader& reader = gImage->Reader();
    reader.QueryCard(gImage->Selected());
    for (auto _ : state) {
        reader.BuildWaveText();
        benchmark::DoNotOptimize(reader.waveText);
    }
    state.SetItemsProcessed(state.iterations());  // records
}

void BM_BuildTrendText(benchmark::State& state) {
    CCardReader& reader = gImage->Reader();
    reader.QueryCard(gImage->Selected());
    for (auto _ : state) {
        reader.BuildTrendText();
        benchmark::DoNotOptimize(reader.trendText);
    }
    // One trend covers up to 1000 records.
    state.SetItemsProcessed(state.iterations() * 1000);
}

BENCHMARK(BM_QueryCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildWaveText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildTrendText)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    orvanta::CardImage image;
    orvanta::gImage = &image;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    orvanta::gImage = nullptr;
    return 0;
}
