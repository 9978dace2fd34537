// Each cost of the client next to its floor, measured in the same run:
//
// - one card query on a full-size sparse image (60,000,001 sectors, wrapped
//   ring) against the same reads as bare pread calls on an already open file
//   (the floor of the read pattern: every probe opens, positions, reads and
//   closes the device, which the floor does not);
// - the same on a loop block device over the image, when one can be set up;
// - the drive search over the 24 candidate letters against its 48 reads as
//   bare preads;
// - the waveform and trend texts against the same arithmetic written with
//   std::to_chars into a plain buffer (the trend's floor also includes its one
//   read of 512,000 bytes, and takes its points from the same calculator).
//
// - a whole-card overview of 1000 points (ring discovery and samples through
//   one held open) against the same reads as bare preads on a held
//   descriptor, on the image and on the loop device; its sector reads are
//   counted against the bound of N + 300.
// - the events of a day of records (86,400) on the image file against the
//   same sectors read in the same runs through one held descriptor with the
//   same trend arithmetic (bench/events_rig.cpp).
//
// Every device operation of one query is counted, step by step, and compared
// with the bounds the search limits allow. With --markdown FILE the table of
// figures, floors and ratios is written to FILE (scripts/bench).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

#include "bench/analysis_rig.h"
#include "bench/events_rig.h"
#include "bench/report_rig.h"
#include "bench/save_rig.h"
#include "card/card_layout.h"
#include "card/card_overview.h"
#include "card/card_reader.h"
#include "card/trend_point.h"
#include "platform/fault_volume.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "cardimage/card_image.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

// ---------------------------------------------------------------------------
// Recording the reads of a query, and replaying them as bare preads.

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "limit_bench: %s\n", what.c_str());
    std::exit(1);
}

// One read of a logged pattern: where it started and how much it asked for.
struct VolumeReadEntry {
    std::uint64_t offset;
    std::size_t count;
};

// The reads among the operations the wrapper logged.
std::vector<VolumeReadEntry> ReadsOf(const std::vector<VolumeEvent>& events) {
    std::vector<VolumeReadEntry> reads;
    for (const VolumeEvent& e : events) {
        if (e.kind == VolumeEvent::kRead) reads.push_back({e.offset, static_cast<std::size_t>(e.requested)});
    }
    return reads;
}

// The floor of a read pattern: the same reads as pread calls on a file
// descriptor opened once.
void ReplayReads(int fd, const std::vector<VolumeReadEntry>& reads) {
    static std::vector<unsigned char> buffer(512000);
    for (const VolumeReadEntry& r : reads) {
        const ssize_t n = ::pread(fd, buffer.data(), r.count, static_cast<off_t>(r.offset));
        benchmark::DoNotOptimize(n);
    }
    benchmark::ClobberMemory();
}

// ---------------------------------------------------------------------------
// The card: a full-size sparse image with a wrapped ring, several records a
// second, a reader on it, the second queried and the reads of one query.

struct CardSetup {
    std::unique_ptr<testenv::TempDir> scratch;
    std::string dir;
    std::string image;       // the card
    std::string blankImage;  // a device without a card, for the drive search
    std::string loopDevice;  // "" when no loop device could be set up
    std::string loopNote;
    cardimage::CardLayout layout;
    std::int32_t selected = 0;
};
CardSetup gCard;

std::string RunCommand(const std::string& command, int* status) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, p) != nullptr) out += line;
        *status = ::pclose(p);
    } else {
        *status = -1;
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

void MakeCard() {
    gCard.scratch = std::make_unique<testenv::TempDir>();
    gCard.dir = gCard.scratch->Path();
    gCard.image = gCard.dir + "/card.img";
    gCard.blankImage = gCard.dir + "/blank.img";

    cardimage::CardContents contents;
    contents.records = 40000;
    contents.wrap = 15000;
    contents.perSecond = {8};
    std::string error;
    if (!cardimage::WriteCardImage(gCard.image, contents, &gCard.layout, &error)) Fail(error);
    // A device of the same size with nothing on it.
    {
        std::ofstream blank(gCard.blankImage, std::ios::binary);
    }
    std::filesystem::resize_file(gCard.blankImage, cardimage::kFullCardSectors * kSectorSize);

    // A second of the older pass on which the time search lands inside its
    // group of records, so the backward scan takes steps too.
    DriveMap drives;
    drives.Set('E', gCard.image);
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(drives);
    CCardReader reader(*volumes);
    if (reader.driveCode != 'E') Fail("the drive search did not find the card on E:");
    reader.FindRingBounds();
    if (reader.ringStart != gCard.layout.ringStart || reader.upperSector != gCard.layout.upperSector) {
        Fail("the ring found differs from the ring written");
    }
    const std::vector<std::int32_t> times = cardimage::RecordTimes(contents);
    for (std::size_t i = times.size() / 3; i < times.size() && gCard.selected == 0; i += 8) {
        const std::uint32_t found = reader.FindSectorByTime(times[i]);
        if (reader.ScanBackward(found) != found) gCard.selected = times[i];
    }
    if (gCard.selected == 0) Fail("no second whose search lands inside its group");

    // A read-only loop device over the image, where the machine allows one.
    if (std::getenv("ORVANTA_BENCH_NO_LOOP") != nullptr) {
        gCard.loopNote = "skipped (ORVANTA_BENCH_NO_LOOP set)";
        return;
    }
    int status = 0;
    const std::string device = RunCommand("losetup -r -f --show '" + gCard.image + "' 2>&1", &status);
    if (status == 0 && device.rfind("/dev/", 0) == 0) {
        gCard.loopDevice = device;
    } else {
        gCard.loopNote = "not measured: losetup failed here (" + device + ")";
    }
}

void RemoveCard() {
    if (!gCard.loopDevice.empty()) {
        int status = 0;
        RunCommand("losetup -d '" + gCard.loopDevice + "' 2>&1", &status);
    }
    gCard.scratch.reset();
}

// A reader on one device path for drive E:, read through the counting (fault) wrapper.
// A reader on the platform's own volumes, as the programs have it, which is
// timed, and one through the wrapper that counts and logs device operations.
struct QueryRig {
    explicit QueryRig(const std::string& path) {
        DriveMap drives;
        drives.Set('E', path);
        plain = MakePlatformVolumeSystem(drives);
        reader = std::make_unique<CCardReader>(*plain);
        system = std::make_unique<FaultVolumeSystem>(MakePlatformVolumeSystem(drives));
        counted = std::make_unique<CCardReader>(*system);
        if (reader->driveCode != 'E' || counted->driveCode != 'E') Fail("no card found on " + path);
        // The reads of one query, for the floor.
        std::vector<VolumeEvent> events;
        system->log = &events;
        counted->QueryCard(gCard.selected);
        system->log = nullptr;
        reads = ReadsOf(events);
        if (counted->actualTime != gCard.selected) Fail("the query did not find the selected second");
    }
    std::unique_ptr<RawVolumeSystem> plain;
    std::unique_ptr<CCardReader> reader;
    std::unique_ptr<FaultVolumeSystem> system;
    std::unique_ptr<CCardReader> counted;
    std::vector<VolumeReadEntry> reads;
};

void QueryBenchmark(benchmark::State& state, const std::string& path) {
    static std::map<std::string, std::unique_ptr<QueryRig>> rigs;
    std::unique_ptr<QueryRig>& rig = rigs[path];
    if (!rig) rig = std::make_unique<QueryRig>(path);
    for (auto _ : state) {
        rig->reader->QueryCard(gCard.selected);
        benchmark::DoNotOptimize(rig->reader->trendText);
    }
    state.counters["reads"] = static_cast<double>(rig->reads.size());
}

void FloorBenchmark(benchmark::State& state, const std::string& path) {
    QueryRig rig(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open " + path);
    for (auto _ : state) ReplayReads(fd, rig.reads);
    ::close(fd);
    state.counters["reads"] = static_cast<double>(rig.reads.size());
}

// The read pattern itself on its own: the same reads, each with an open and a
// close of its own, and nothing else.
void PatternBenchmark(benchmark::State& state, const std::string& path) {
    QueryRig rig(path);
    static std::vector<unsigned char> buffer(512000);
    for (auto _ : state) {
        for (const VolumeReadEntry& r : rig.reads) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            const ssize_t n = ::pread(fd, buffer.data(), r.count, static_cast<off_t>(r.offset));
            benchmark::DoNotOptimize(n);
            ::close(fd);
        }
    }
}

// ---------------------------------------------------------------------------
// The whole-card overview: ring discovery and 1000 samples through one open.

constexpr std::uint32_t kOverviewPoints = 1000;

// As QueryRig: `reader` is timed, `counted` counts.
struct OverviewRig {
    explicit OverviewRig(const std::string& path) {
        DriveMap drives;
        drives.Set('E', path);
        plain = MakePlatformVolumeSystem(drives);
        reader = std::make_unique<CCardReader>(*plain);
        system = std::make_unique<FaultVolumeSystem>(MakePlatformVolumeSystem(drives));
        counted = std::make_unique<CCardReader>(*system);
        if (reader->driveCode != 'E' || counted->driveCode != 'E') Fail("no card found on " + path);
        request.points = kOverviewPoints;
        system->counters = VolumeCounters();
        std::vector<VolumeEvent> events;
        system->log = &events;
        const OverviewResult result = CardOverview(*counted).Scan(request);
        system->log = nullptr;
        reads = ReadsOf(events);
        if (result.status != OverviewStatus::kDone || result.samples.size() != kOverviewPoints) {
            Fail("the overview did not read 1000 samples");
        }
        sectorReads = result.sectorReads;
        opens = system->counters.opens;
    }
    std::unique_ptr<RawVolumeSystem> plain;
    std::unique_ptr<CCardReader> reader;
    std::unique_ptr<FaultVolumeSystem> system;
    std::unique_ptr<CCardReader> counted;
    OverviewRequest request;
    std::vector<VolumeReadEntry> reads;
    std::uint64_t sectorReads = 0;
    std::uint64_t opens = 0;
};

OverviewRig& OverviewRigOf(const std::string& path) {
    static std::map<std::string, std::unique_ptr<OverviewRig>> rigs;
    std::unique_ptr<OverviewRig>& rig = rigs[path];
    if (!rig) rig = std::make_unique<OverviewRig>(path);
    return *rig;
}

void OverviewBenchmark(benchmark::State& state, const std::string& path) {
    OverviewRig& rig = OverviewRigOf(path);
    const CardOverview overview(*rig.reader);
    for (auto _ : state) {
        OverviewResult result = overview.Scan(rig.request);
        benchmark::DoNotOptimize(result.samples.data());
    }
    state.counters["sector reads"] = static_cast<double>(rig.sectorReads);
}

void OverviewFloorBenchmark(benchmark::State& state, const std::string& path) {
    OverviewRig& rig = OverviewRigOf(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open " + path);
    for (auto _ : state) ReplayReads(fd, rig.reads);
    ::close(fd);
}

// ---------------------------------------------------------------------------
// The drive search over the 24 candidates: D: to Y: hold devices without a
// card, Z: the card, '[' names nothing.

std::unique_ptr<RawVolumeSystem> DriveSearchSystem() {
    DriveMap drives;
    for (char letter = 'D'; letter < 'Z'; ++letter) drives.Set(letter, gCard.blankImage);
    drives.Set('Z', gCard.image);
    return MakePlatformVolumeSystem(drives);
}

void BM_DriveSearch(benchmark::State& state) {
    std::unique_ptr<RawVolumeSystem> system = DriveSearchSystem();
    CCardReader reader(*system);
    if (reader.driveCode != 'Z') Fail("the drive search did not find the card on Z:");
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.FindCardDrive());
    }
}

void BM_DriveSearchFloor(benchmark::State& state) {
    const int blank = ::open(gCard.blankImage.c_str(), O_RDONLY | O_CLOEXEC);
    const int card = ::open(gCard.image.c_str(), O_RDONLY | O_CLOEXEC);
    if (blank < 0 || card < 0) Fail("cannot open the images");
    std::vector<VolumeReadEntry> reads = {{101000ULL * 512, 512}, {101001ULL * 512, 512}};
    for (auto _ : state) {
        for (char letter = 'D'; letter < 'Z'; ++letter) ReplayReads(blank, reads);
        ReplayReads(card, reads);
    }
    ::close(blank);
    ::close(card);
}

// ---------------------------------------------------------------------------
// The texts, and their floors: the same arithmetic, numbers written with
// std::to_chars into a plain buffer.

QueryRig& ImageRig() {
    static QueryRig rig(gCard.image);
    return rig;
}

inline char* PutNumber(char* at, std::int32_t value) {
    at = std::to_chars(at, at + 12, value).ptr;
    *at++ = ' ';
    return at;
}

inline std::int32_t Truncate(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(v);
}

std::size_t WaveFloor(const CCardReader& r, char* out) {
    char* at = out;
    for (int k = 0; k < 126; ++k) {
        const unsigned char* p = r.sectorBuffer + 8 + 4 * k;
        const double sA = p[0] + 256.0 * p[1];
        const double sB = p[2] + 256.0 * p[3];
        at = PutNumber(at, Truncate((sA - r.offsetA) * r.ratioA + 0.5));
        at = PutNumber(at, Truncate((sB - r.offsetB) * r.ratioB + 0.5));
    }
    *at = '\0';
    return static_cast<std::size_t>(at - out);
}

std::size_t TrendFloor(const CCardReader& r, int fd, std::vector<unsigned char>& sectors, char* out) {
    std::memset(sectors.data(), 0, sectors.size());
    const bool ok = ::pread(fd, sectors.data(), sectors.size(), static_cast<off_t>(r.currentSector) * kSectorSize) >= 0;
    char* at = PutNumber(PutNumber(out, 0), 0);
    int count = 1;
    const std::uint32_t currentLogical = r.PhysicalToLogical(r.currentSector);
    const CTrendPointCalculator points(r.offsetB, r.ratioA, r.ratioB);
    for (std::uint32_t j = 0; ok && j < 1000; ++j) {
        const std::uint32_t s = r.currentSector + j;
        if (s >= r.baseSector + r.ringCount || r.PhysicalToLogical(s) < currentLogical) break;
        TrendPoint point;
        if (!points.PointOf(sectors.data() + kSectorSize * static_cast<std::size_t>(j), &point)) continue;
        at = PutNumber(at, point.valueA);
        at = PutNumber(at, point.valueB);
        ++count;
    }
    for (; count < 1000; ++count) at = PutNumber(at, 0);
    *at = '\0';
    return static_cast<std::size_t>(at - out);
}

void BM_BuildWaveText(benchmark::State& state) {
    CCardReader& reader = *ImageRig().reader;
    reader.QueryCard(gCard.selected);
    for (auto _ : state) {
        reader.BuildWaveText();
        benchmark::DoNotOptimize(reader.waveText);
    }
}

void BM_WaveTextFloor(benchmark::State& state) {
    CCardReader& reader = *ImageRig().reader;
    reader.QueryCard(gCard.selected);
    static char out[4096];
    WaveFloor(reader, out);
    if (std::strcmp(out, reader.waveText) != 0) Fail("the waveform floor writes another text");
    for (auto _ : state) {
        benchmark::DoNotOptimize(WaveFloor(reader, out));
        benchmark::ClobberMemory();
    }
}

void BM_BuildTrendText(benchmark::State& state) {
    CCardReader& reader = *ImageRig().reader;
    reader.QueryCard(gCard.selected);
    for (auto _ : state) {
        reader.BuildTrendText();
        benchmark::DoNotOptimize(reader.trendText);
    }
}

void BM_TrendTextFloor(benchmark::State& state) {
    CCardReader& reader = *ImageRig().reader;
    reader.QueryCard(gCard.selected);
    const int fd = ::open(gCard.image.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open the image");
    std::vector<unsigned char> sectors(512000);
    static char out[32768];
    TrendFloor(reader, fd, sectors, out);
    if (std::strcmp(out, reader.trendText) != 0) Fail("the trend floor writes another text");
    for (auto _ : state) {
        benchmark::DoNotOptimize(TrendFloor(reader, fd, sectors, out));
        benchmark::ClobberMemory();
    }
    ::close(fd);
}

// ---------------------------------------------------------------------------
// Device operations of one query, step by step, against their bounds.

struct StepCount {
    const char* step;
    std::uint64_t reads;
    const char* bound;
    bool within;
};

std::vector<StepCount> CountVolumeCounters(VolumeCounters* queryOps) {
    QueryRig& rig = ImageRig();
    CCardReader& r = *rig.counted;
    FaultVolumeSystem& sys = *rig.system;
    std::vector<StepCount> steps;
    auto measure = [&](const char* name, std::uint64_t bound, const char* boundText, auto&& step) {
        sys.counters = VolumeCounters();
        step();
        steps.push_back({name, sys.counters.reads, boundText, sys.counters.reads <= bound});
    };
    measure("CheckCardPresent", 2, "2", [&] { r.CheckCardPresent(); });
    measure("ReadDeviceRecord", 1, "1", [&] { r.ReadDeviceRecord(); });
    measure("FindRingBounds", 241, "<= 241", [&] { r.FindRingBounds(); });
    std::uint32_t found = 0;
    measure("FindSectorByTime", 92, "<= 92", [&] { found = r.FindSectorByTime(gCard.selected); });
    measure("ScanBackward", 60, "<= 60", [&] { r.currentSector = r.ScanBackward(found); });
    measure("ReadSector (the record)", 1, "1", [&] { r.ReadSector(r.currentSector); });
    measure("BuildTrendText", 1, "1 (512,000 bytes)", [&] { r.BuildTrendText(); });
    sys.counters = VolumeCounters();
    r.QueryCard(gCard.selected);
    *queryOps = sys.counters;
    const std::uint64_t single = sys.counters.reads - sys.counters.largeReads;
    steps.push_back({"QueryCard (single-sector reads)", single, "<= 397 (about 400)", single <= 397});
    steps.push_back({"QueryCard (reads of 512,000 bytes)", sys.counters.largeReads, "1", sys.counters.largeReads == 1});
    return steps;
}

// ---------------------------------------------------------------------------
// Collecting the results and writing the table.

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.function_name;
            nanoseconds[name] = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

std::string FirstLineOf(const char* path, const char* key) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            const std::size_t colon = line.find(':');
            std::string value = colon == std::string::npos ? line : line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') value.erase(0, 1);
            return value;
        }
    }
    return "unknown";
}

std::string Figure(double ns) {
    char text[64];
    if (ns >= 1e6) {
        std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    } else if (ns >= 1e3) {
        std::snprintf(text, sizeof text, "%.1f us", ns / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.0f ns", ns);
    }
    return text;
}

void WriteMarkdown(const std::string& path, const std::string& command, const CollectingReporter& results,
                   const std::vector<StepCount>& steps, const VolumeCounters& queryOps) {
    struct Row {
        const char* what;
        const char* figure;
        const char* floor;
        const char* floorWhat;
        double per;  // divide both by this (per record)
    };
    const Row rows[] = {
        {"One QueryCard, full-size sparse image file", "QueryCardImage", "QueryCardImageFloor",
         "the query's reads as bare pread calls on an open file", 1},
        {"One QueryCard, loop block device", "QueryCardLoop", "QueryCardLoopFloor",
         "the query's reads as bare pread calls on the open device", 1},
        {"One QueryCard, full-size sparse image file", "QueryCardImage", "QueryCardImagePattern",
         "the query's reads, each as open, pread and close (the read pattern alone)", 1},
        {"One QueryCard, loop block device", "QueryCardLoop", "QueryCardLoopPattern",
         "the query's reads, each as open, pread and close (the read pattern alone)", 1},
        {"Drive search over 24 letters (card on Z:)", "DriveSearch", "DriveSearchFloor",
         "48 bare pread calls on open files", 1},
        {"BuildWaveText, per record", "BuildWaveText", "WaveTextFloor",
         "same arithmetic, std::to_chars into a plain buffer", 1},
        {"BuildTrendText, per record (1000 records a call)", "BuildTrendText", "TrendTextFloor",
         "one pread of 512,000 bytes, same arithmetic, std::to_chars", 1000},
        {"Whole-card overview, 1000 points, full-size sparse image file", "OverviewImage", "OverviewImageFloor",
         "the overview's reads as bare pread calls on a held descriptor", 1},
        {"Whole-card overview, 1000 points, loop block device", "OverviewLoop", "OverviewLoopFloor",
         "the overview's reads as bare pread calls on the held device", 1},
        {"Events of a day of records (86,400), full-size sparse image file", "EventsImage", "EventsImageFloor",
         "the same sectors read in the same runs through one held descriptor, same trend arithmetic", 1},
        {"Local analysis of a day of records (86,400, orders to 40), full-size sparse image file", "AnalyseImage",
         "AnalyseImageFloor", "the same sectors read in the same runs through one held descriptor, FFTW's bare "
         "transforms of the same 2 x 96 samples per record", 1},
        {"The same, with each record's CSV row as orvanta-card analyse writes it", "AnalyseImageCsv",
         "AnalyseImageFloor", "the same floor", 1},
        {"Power-quality report of a day of records (86,400), full-size sparse image file", "ReportDay",
         "ReportDayFloor", "the analysis of the same records (the same range scan, every record's figures)", 1},
        {"Power-quality report of a week of records (604,800), full-size sparse image file", "ReportWeek",
         "ReportWeekFloor", "the analysis of the same records (the same range scan, every record's figures)", 1},
        {"Saving the sample card (300,000 records) as an image, with its SHA-256 and read-back check", "SaveCard",
         "SaveCardFloor", "the same sectors read and written in the same 1 MiB blocks and flushed, as dd bs=1M conv=fsync", 1},
    };
    std::ostringstream md;
    md << "# Performance\n\n";
    md << "Each figure is set against its floor, measured in the same run of the same program: what the\n"
          "physical limit of that work is on this machine. A ratio near 1 means the cost is the work itself.\n"
          "The card is read with open, position, read and close for every sector, and nothing is cached:\n"
          "no device stays open between reads, so a card pulled and put back is never read through a stale\n"
          "handle, and every query sees what the recorder wrote up to that moment. The floor shows what\n"
          "that pattern costs above the reads alone.\n\n";
    md << "Written by `scripts/bench`; do not edit by hand.\n\n";
    md << "| Figure | Time | Floor | Floor time | Ratio |\n|---|---|---|---|---|\n";
    for (const Row& row : rows) {
        auto f = results.nanoseconds.find(row.figure);
        auto l = results.nanoseconds.find(row.floor);
        if (f == results.nanoseconds.end() || l == results.nanoseconds.end()) {
            md << "| " << row.what << " | not measured | " << row.floorWhat << " | | |\n";
            continue;
        }
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%.2f", f->second / l->second);
        md << "| " << row.what << " | " << Figure(f->second / row.per) << " | " << row.floorWhat << " | "
           << Figure(l->second / row.per) << " | " << ratio << " |\n";
    }
    md << "| Window start-up to first paint | not measured yet | | | |\n\n";
    if (gCard.loopDevice.empty()) md << "Loop device: " << gCard.loopNote << ".\n\n";

    md << "## What the ratios show\n\n";
    md << "- The query against bare preads: nearly all of the gap is the read pattern (an open and a close\n"
          "  around every sector read); the rows against the pattern alone show it. What remains above the\n"
          "  pattern is mostly the trend's arithmetic over 1000 records, then the timestamps of the probes.\n"
          "  The type of a drive's device (a FIFO or another special file mapped to a drive is refused) is\n"
          "  checked with one fstat call on the drive's first open and after a failed one, not on every\n"
          "  read, where it cost about a tenth of the query. The ring searches convert timestamps an hour at\n"
          "  a time, as the overview does, so the C library's mktime (which, with TZ unset, also checks\n"
          "  /etc/localtime with one stat call per conversion) runs a few times a query instead of once a\n"
          "  probe.\n"
          "- On a loop block device every open and close costs far more than on a file, so the pattern's share\n"
          "  grows; these timings vary from run to run with the block layer's work on the last close.\n"
          "- The drive search is 48 single-sector reads, each with its own open and close.\n"
          "- Text building was made cheaper where the work allowed it: numbers are written with std::to_chars\n"
          "  instead of snprintf (the waveform text fell from about 5.4 us to about 1.2 us), and the trend's\n"
          "  zero correction with the whole-numbered zero level 509.0 uses integer arithmetic with the same\n"
          "  results, eight samples at a time in 16-bit lanes with the amplitude limit judged once a record\n"
          "  (one trend fell from about 250 us to about 95 us, the read of 512,000 bytes included), and its\n"
          "  buffer is kept between queries and not cleared before the read, which fills it. The trend's\n"
          "  floor takes its points from the same calculator. The records behind the points (their times and\n"
          "  real-valued RMS, for the record CSV) are worked out from the kept read only when an export asks\n"
          "  for them: computed with every trend, they took the trend to about 2.8 times its floor.\n"
          "- The overview holds the card open once for its whole scan, so it pays no open and close per read;\n"
          "  what it adds to the reads is the timestamp of every probe and sample (converted an hour at a time,\n"
          "  so mktime's look-up of the time zone is paid once an hour of recording, not once a sample) and one\n"
          "  trend point per sample. On a loop block device its one close per scan is what costs: the last\n"
          "  close of a block device drops the device's cached pages, so every scan reads the device afresh,\n"
          "  while the floor keeps its descriptor, and with it the cache, open between rounds.\n"
          "- The events scan reads every record of the range through one open in runs of 2048 sectors (1 MiB);\n"
          "  above its floor it finds the ring and the range (about 150 single-sector probes), decodes every\n"
          "  record's timestamp and applies the thresholds. The goal is at most 1.5 times the floor.\n"
          "- The local analysis reads the same day through the events' range scan and analyses each record's\n"
          "  period (pairs 1 to 96): above its floor (the reads and FFTW's two bare transforms a record) it\n"
          "  decodes each timestamp, scales the samples and checks them for clipping, takes the RMS, crest\n"
          "  and power sums, and turns 40 bins of each channel into RMS values (80 square roots) and the\n"
          "  distortion, power-factor and K-factor figures. FFTW runs on aligned arrays without copies, the\n"
          "  phase difference of the fundamentals comes from V1 * conj(I1) (no atan2, cos or sin), |z|^2 is\n"
          "  re^2 + im^2 (std::norm of a double goes through a hypot), the roots run in a loop of their own,\n"
          "  the clipping check is the largest raw sample, and the sums run in two interleaved lanes; it was\n"
          "  about 7 times the floor before. The goal is at most 2 times the floor. The CSV rows (std::to_chars, the same characters as %.9g; times converted once\n"
          "  an hour) are a cost of their own, shown in the second row.\n"
          "- The power-quality report reads the range once through the analysis's scan; above the analysis\n"
          "  it takes each record's trend point for the events, its 10-minute sums (one local-time conversion\n"
          "  per interval, not per record) and, at the end, the percentiles of about 144 intervals a day.\n"
          "  The goal is at most 1.3 times the analysis.\n"
          "- Saving a card (orvanta-card save) reads the information sector and the ring in 1 MiB runs and\n"
          "  writes the sectors that are not all zeros; above dd's copy it finds the ring, reads each run\n"
          "  back from the image as soon as it is written and compares it with the card's, and computes\n"
          "  the image's SHA-256 (the 46 MB hole before the information sector included) from what reads\n"
          "  back, on a second thread that follows the writer, so that hashing overlaps the copy and the\n"
          "  flush. It also hands each 8 MiB written to the disk at once (sync_file_range) instead of all\n"
          "  of it at the flush, which the floor, as dd does, leaves to the end; without that the figure\n"
          "  was about 1.15 times the floor. The goal is at most 1.2 times the floor. On a card reader\n"
          "  (tens of MB/s) the reads of the card dominate instead.\n";
    md << "- Every figure is timed on the platform's own volumes, as the programs have them; the counting\n"
          "  wrapper below is used only to count and log the device operations.\n\n";
    md << "## Device operations of one query\n\n";
    md << "Counted on the image file through the counting raw-volume wrapper; every read is a full open,\n"
          "position, read and close.\n\n";
    md << "| Step | Reads | Bound | Within |\n|---|---|---|---|\n";
    for (const StepCount& s : steps) {
        md << "| " << s.step << " | " << s.reads << " | " << s.bound << " | " << (s.within ? "yes" : "NO") << " |\n";
    }
    md << "\nOne whole query: " << queryOps.opens << " opens, " << queryOps.positions << " positionings, "
       << queryOps.reads << " reads, " << queryOps.closes << " closes, " << queryOps.bytesRead << " bytes.\n\n";

    {
        OverviewRig& rig = OverviewRigOf(gCard.image);
        const std::uint64_t bound = kOverviewPoints + 300;
        md << "## Sector reads of one whole-card overview\n\n";
        md << "On the image of 60,000,001 sectors, 1000 points: " << rig.sectorReads << " sector reads in "
           << rig.reads.size() << " read requests through " << rig.opens << " open (bound " << bound
           << ", within: " << (rig.sectorReads <= bound ? "yes" : "NO") << ").\n\n";
    }

    utsname u{};
    ::uname(&u);
    md << "## Machine and command\n\n";
    md << "- processors (nproc): " << ::sysconf(_SC_NPROCESSORS_ONLN) << "\n";
    md << "- CPU: " << FirstLineOf("/proc/cpuinfo", "model name") << "\n";
    md << "- kernel: " << u.sysname << " " << u.release << " " << u.machine << "\n";
    md << "- card: sparse image of 60,000,001 sectors, wrapped ring of " << gCard.layout.ringCount
       << " records (8 a second), oldest at sector " << gCard.layout.ringStart << "\n";
    md << "- command: `" << command << "`\n";

    std::ofstream out(path);
    out << md.str();
    if (!out) Fail("cannot write " + path);
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
    using namespace orvanta;
    std::string markdown;
    std::string command;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--markdown=", 0) == 0) {
            markdown = a.substr(11);
        } else if (a.rfind("--command=", 0) == 0) {
            command = a.substr(10);
        } else {
            args.push_back(argv[i]);
        }
    }
    if (command.empty()) {
        for (int i = 0; i < argc; ++i) command += (i ? " " : "") + std::string(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    MakeCard();
    benchmark::RegisterBenchmark("QueryCardImage", [](benchmark::State& s) { QueryBenchmark(s, gCard.image); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("QueryCardImageFloor", [](benchmark::State& s) { FloorBenchmark(s, gCard.image); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("QueryCardImagePattern",
                                 [](benchmark::State& s) { PatternBenchmark(s, gCard.image); })
        ->Unit(benchmark::kMillisecond);
    if (!gCard.loopDevice.empty()) {
        benchmark::RegisterBenchmark("QueryCardLoopPattern",
                                     [](benchmark::State& s) { PatternBenchmark(s, gCard.loopDevice); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("QueryCardLoop",
                                     [](benchmark::State& s) { QueryBenchmark(s, gCard.loopDevice); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("QueryCardLoopFloor",
                                     [](benchmark::State& s) { FloorBenchmark(s, gCard.loopDevice); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("OverviewLoop",
                                     [](benchmark::State& s) { OverviewBenchmark(s, gCard.loopDevice); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("OverviewLoopFloor",
                                     [](benchmark::State& s) { OverviewFloorBenchmark(s, gCard.loopDevice); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("OverviewImage", [](benchmark::State& s) { OverviewBenchmark(s, gCard.image); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OverviewImageFloor",
                                 [](benchmark::State& s) { OverviewFloorBenchmark(s, gCard.image); })
        ->Unit(benchmark::kMillisecond);
    eventsbench::RegisterEventsBenchmarks(gCard.dir);
    analysisbench::RegisterAnalysisBenchmarks();
    reportbench::RegisterReportBenchmarks(gCard.dir);
    savebench::RegisterSaveBenchmarks(gCard.dir);
    benchmark::RegisterBenchmark("DriveSearch", BM_DriveSearch)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DriveSearchFloor", BM_DriveSearchFloor)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BuildWaveText", BM_BuildWaveText)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("WaveTextFloor", BM_WaveTextFloor)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BuildTrendText", BM_BuildTrendText)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TrendTextFloor", BM_TrendTextFloor)->Unit(benchmark::kMicrosecond);

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    VolumeCounters queryOps;
    const std::vector<StepCount> steps = CountVolumeCounters(&queryOps);
    bool allWithin = true;
    for (const StepCount& s : steps) {
        std::printf("%-36s %6llu reads, bound %s%s\n", s.step, static_cast<unsigned long long>(s.reads), s.bound,
                    s.within ? "" : "  EXCEEDED");
        allWithin = allWithin && s.within;
    }
    {
        OverviewRig& rig = OverviewRigOf(gCard.image);
        std::printf("%-36s %6llu sector reads, bound %u\n", "Whole-card overview (1000 points)",
                    static_cast<unsigned long long>(rig.sectorReads), kOverviewPoints + 300);
        allWithin = allWithin && rig.sectorReads <= kOverviewPoints + 300;
    }
    if (!markdown.empty()) WriteMarkdown(markdown, command, reporter, steps, queryOps);
    benchmark::Shutdown();
    RemoveCard();
    return allWithin ? 0 : 1;
}
