// orvanta-card overview: the card's recording as CSV, sampled at up to N
// points from the oldest record to the newest (or within a time range), each
// row the record's local time, physical sector and trend point.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "card/card_overview.h"
#include "card/card_reader.h"
#include "card/local_time.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "tools/orvanta_card/arguments.h"
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

constexpr std::uint64_t kMaxPoints = 10000000;

int UsageError(const std::string& message) {
    std::fprintf(stderr, "orvanta-card overview: %s\n", message.c_str());
    std::fprintf(stderr, "Run \"orvanta-card overview --help\" for the options.\n");
    return kExitUsage;
}

std::string CsvOf(const OverviewResult& result) {
    std::string csv = "time,sector,trend_a,trend_b\n";
    for (const OverviewSample& sample : result.samples) {
        csv += FormatLocalStandard(sample.time);
        csv += ',';
        csv += std::to_string(sample.sector);
        csv += ',';
        if (sample.hasPoint) {
            csv += std::to_string(sample.point.valueA);
            csv += ',';
            csv += std::to_string(sample.point.valueB);
        } else {
            csv += ',';
        }
        csv += '\n';
    }
    return csv;
}

}  // namespace

void PrintOverviewUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: orvanta-card overview [--drive L=PATH]... [--points N]\n"
                 "                             [--from \"YYYY-MM-DD HH:MM:SS\"] [--to \"...\"] [--out FILE]\n"
                 "\n"
                 "Samples the card's ring of records at up to N evenly spread points, from the\n"
                 "oldest record to the newest (or from the first record of --from to the last\n"
                 "record of --to, local time), and writes CSV: time,sector,trend_a,trend_b.\n"
                 "The trend values are the trend text's two integers of each record (empty when\n"
                 "the record gives none); ratio.txt in the working directory applies.\n"
                 "\n"
                 "options:\n"
                 "  --drive L=PATH   map drive letter L to a device or image file (repeatable)\n"
                 "  --points N       at most N samples, 1 or more (1000)\n"
                 "  --from TIME      start of the time range, local time\n"
                 "  --to TIME        end of the time range, local time\n"
                 "  --out FILE       write the CSV to FILE (standard output)\n"
                 "\n"
                 "exit status: 0 done, 1 no card found or the card failed during the scan,\n"
                 "2 bad arguments\n");
}

int RunOverview(const std::vector<std::string>& args) {
    std::vector<std::string> drives;
    OverviewRequest request;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            PrintOverviewUsage(stdout);
            return kExitOk;
        }
        std::string value;
        bool matched = false;
        for (const char* name : {"--drive", "--points", "--from", "--to", "--out"}) {
            const OptionMatch m = TakeOptionValue(args, &i, name, &value);
            if (m == OptionMatch::kNo) continue;
            if (m == OptionMatch::kMissingValue) return UsageError(std::string("option ") + name + " needs a value");
            matched = true;
            const std::string option = name;
            if (option == "--drive") {
                drives.push_back(value);
            } else if (option == "--points") {
                std::uint64_t points = 0;
                if (!ParseUnsigned(value, kMaxPoints, &points) || points == 0) {
                    return UsageError("--points needs a number from 1 to " + std::to_string(kMaxPoints));
                }
                request.points = static_cast<std::uint32_t>(points);
            } else if (option == "--from" || option == "--to") {
                std::int32_t time = 0;
                if (!ParseTime(value, &time)) {
                    return UsageError(option + " needs a local time \"YYYY-MM-DD HH:MM:SS\" (1970 to 2038)");
                }
                (option == "--from" ? request.hasFrom : request.hasTo) = true;
                (option == "--from" ? request.from : request.to) = time;
            } else {
                out = value;
            }
            break;
        }
        if (matched) continue;
        if (!word.empty() && word[0] == '-') return UsageError("unknown option \"" + word + "\"");
        return UsageError("unexpected argument \"" + word + "\"");
    }
    if (request.hasFrom && request.hasTo && request.from > request.to) {
        return UsageError("--from lies after --to");
    }

    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(drives, &map, &error)) return UsageError(error);
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);  // ratio.txt, then the drive search
    if (!reader.RatioFile().error.empty()) return kExitFailed;  // said on standard error
    if (reader.driveCode < 'D' || reader.driveCode > 'Z') {
        std::fprintf(stderr, "orvanta-card overview: no card found on drives D: to Z:\n");
        return kExitFailed;
    }

    CardOverview overview(reader);
    OverviewResult result;
    {
        ProgressLine progress("overview", "samples read");
        overview.SetProgressHook([&progress](std::size_t done, std::size_t total) { progress.Update(done, total); });
        result = overview.Scan(request);
    }
    if (result.status == OverviewStatus::kNoDevice) {
        std::fprintf(stderr, "orvanta-card overview: %s\n", result.message.c_str());
        return kExitFailed;
    }
    if (!WriteOutput(out, CsvOf(result))) {
        std::fprintf(stderr, "orvanta-card overview: could not write %s\n", out.empty() ? "standard output" : out.c_str());
        return kExitFailed;
    }
    if (!result.message.empty()) std::fprintf(stderr, "orvanta-card overview: %s\n", result.message.c_str());
    return result.status == OverviewStatus::kCardGone ? kExitFailed : kExitOk;
}

}  // namespace cardtool
}  // namespace orvanta
