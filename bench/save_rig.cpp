#include "bench/save_rig.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "card/card_scan_source.h"
#include "cardimage/card_image.h"
#include "cardimage/card_save.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace savebench {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "limit_bench: %s\n", what.c_str());
    std::exit(1);
}

struct SaveRig {
    std::string card, saved, floorCopy;
    cardimage::CardLayout layout;
    std::unique_ptr<RawVolumeSystem> volumes;
    std::unique_ptr<CCardReader> reader;
};

// Each round writes a new file, as a first save does: the copy of the round
// before is removed outside the timing (freeing its blocks is no part of
// either copy).
void RemoveOutside(benchmark::State& state, std::initializer_list<std::string> paths) {
    state.PauseTiming();
    for (const std::string& path : paths) std::remove(path.c_str());
    ::sync();
    state.ResumeTiming();
}

SaveRig& Rig() {
    static SaveRig rig;
    return rig;
}

void SaveBenchmark(benchmark::State& state) {
    SaveRig& rig = Rig();
    cardimage::CardSaveOptions options;
    options.force = true;
    for (auto _ : state) {
        RemoveOutside(state, {rig.saved, rig.saved + ".sha256"});
        const cardimage::CardSaveResult result = cardimage::SaveCardImage(CardScanSource(*rig.reader), rig.saved, options);
        if (result.status != cardimage::CardSaveStatus::kSaved) Fail("the save failed: " + result.message);
        benchmark::DoNotOptimize(result.sha256.data());
    }
}

// dd's way (bs=1M conv=fsync): 1 MiB reads of the information sector and the
// ring (which holds the test sectors), each block written at its offset, the
// file flushed to the disk at the end.
void SaveFloorBenchmark(benchmark::State& state) {
    SaveRig& rig = Rig();
    const std::uint64_t base = kBaseSector, count = rig.layout.upperSector - kBaseSector + 1;
    std::vector<unsigned char> block(std::size_t{2048} * kSectorSize);
    for (auto _ : state) {
        RemoveOutside(state, {rig.floorCopy});
        const int in = ::open(rig.card.c_str(), O_RDONLY | O_CLOEXEC);
        const int out = ::open(rig.floorCopy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (in < 0 || out < 0) Fail("cannot open the floor's files");
        bool ok = ::pread(in, block.data(), kSectorSize, off_t{kInfoSector} * kSectorSize) == kSectorSize &&
                  ::pwrite(out, block.data(), kSectorSize, off_t{kInfoSector} * kSectorSize) == kSectorSize;
        for (std::uint64_t done = 0; ok && done < count;) {
            const std::uint64_t n = std::min<std::uint64_t>(2048, count - done);
            const off_t at = static_cast<off_t>((base + done) * kSectorSize);
            const auto bytes = static_cast<ssize_t>(n * kSectorSize);
            ok = ::pread(in, block.data(), static_cast<std::size_t>(bytes), at) == bytes &&
                 ::pwrite(out, block.data(), static_cast<std::size_t>(bytes), at) == bytes;
            done += n;
        }
        ok = ::fsync(out) == 0 && ok;  // conv=fsync: the save flushes its image too
        ok = ::close(in) == 0 && ok;
        ok = ::close(out) == 0 && ok;
        if (!ok) Fail("the floor's copy failed");
    }
}

}  // namespace

void RegisterSaveBenchmarks(const std::string& dir) {
    SaveRig& rig = Rig();
    rig.card = dir + "/sample-card.img";
    rig.saved = dir + "/sample-saved.img";
    rig.floorCopy = dir + "/sample-dd.img";
    // scripts/demo-card's card.
    cardimage::CardContents contents;
    contents.start = LocalFields{2024, 3, 13, 8, 0, 0};
    contents.records = 300000;
    contents.perSecond = {1, 1, 3, 1, 2};
    contents.gapEvery = 21600;
    contents.gapSeconds = 3600;
    contents.wrap = 20000;
    contents.serial = 20240313;
    std::string error;
    if (!cardimage::WriteCardImage(rig.card, contents, &rig.layout, &error)) Fail(error);
    DriveMap drives;
    drives.Set('E', rig.card);
    rig.volumes = MakePlatformVolumeSystem(drives);
    rig.reader = std::make_unique<CCardReader>(*rig.volumes);
    if (rig.reader->driveCode != 'E') Fail("no card found on " + rig.card);
    benchmark::RegisterBenchmark("SaveCard", SaveBenchmark)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SaveCardFloor", SaveFloorBenchmark)->Unit(benchmark::kMillisecond);
}

}  // namespace savebench
}  // namespace orvanta
