// orvanta-card events: the dips, swells and interruptions of the card's
// recording (or of a time range of it) as CSV, one row per event, measured
// against the nominal voltage of the configuration file or of --nominal.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/event_csv.h"
#include "card/event_scan.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "request/client_settings.h"
#include "request/config_search.h"
#include "tools/orvanta_card/arguments.h"
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "orvanta-card events: %s\n", message.c_str());
    std::fprintf(stderr, "Run \"orvanta-card events --help\" for the options.\n");
    return kExitUsage;
}

}  // namespace

void PrintEventsUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: orvanta-card events [--drive L=PATH]... [--from \"YYYY-MM-DD HH:MM:SS\"]\n"
                 "                           [--to \"...\"] [--nominal V] [--out FILE]\n"
                 "\n"
                 "Reads every record of the card (or from the first record of --from to the last\n"
                 "record of --to, local time) and writes its voltage events as CSV:\n"
                 "kind,start,end,duration_s,extreme_v,records,ended\n"
                 "Each record's voltage is its channel B trend value, as the trend text gives it\n"
                 "(ratio.txt in the working directory applies). Against the nominal voltage U:\n"
                 "a dip starts below 90 %% of U and ends at 92 %% or more; a swell starts above\n"
                 "110 %% and ends at 108 %% or less; a dip whose minimum is below 10 %% of U is an\n"
                 "interruption. A pause of more than 2 s, or the end of the range, ends an open\n"
                 "event at its last record with ended 0. Without events only the header is written.\n"
                 "\n"
                 "options:\n"
                 "  --drive L=PATH   map drive letter L to a device or image file (repeatable)\n"
                 "  --from TIME      start of the time range, local time\n"
                 "  --to TIME        end of the time range, local time\n"
                 "  --nominal V      nominal voltage in whole volts, 1 to %d (default: the key\n"
                 "                   nominalVoltage of [Common] in orvanta-vemlar.ini, else %d)\n"
                 "  --out FILE       write the CSV to FILE (standard output)\n"
                 "\n"
                 "exit status: 0 done, 1 no card found or the card failed during the scan,\n"
                 "2 bad arguments\n",
                 kMaxNominalVolts, kDefaultNominalVolts);
}

int RunEvents(const std::vector<std::string>& args) {
    std::vector<std::string> drives;
    EventScanRequest request;
    bool hasNominal = false;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            PrintEventsUsage(stdout);
            return kExitOk;
        }
        std::string value;
        bool matched = false;
        for (const char* name : {"--drive", "--from", "--to", "--nominal", "--out"}) {
            const OptionMatch m = TakeOptionValue(args, &i, name, &value);
            if (m == OptionMatch::kNo) continue;
            if (m == OptionMatch::kMissingValue) return UsageError(std::string("option ") + name + " needs a value");
            matched = true;
            const std::string option = name;
            if (option == "--drive") {
                drives.push_back(value);
            } else if (option == "--nominal") {
                if (!ParseNominalVolts(value, &request.nominalVolts)) {
                    return UsageError("--nominal needs whole volts from 1 to " + std::to_string(kMaxNominalVolts));
                }
                hasNominal = true;
            } else if (option == "--from" || option == "--to") {
                std::int32_t time = 0;
                if (!ParseTime(value, &time)) {
                    return UsageError(option + " needs a local time \"YYYY-MM-DD HH:MM:SS\" (1970 to 2038)");
                }
                (option == "--from" ? request.range.hasFrom : request.range.hasTo) = true;
                (option == "--from" ? request.range.from : request.range.to) = time;
            } else {
                out = value;
            }
            break;
        }
        if (matched) continue;
        if (!word.empty() && word[0] == '-') return UsageError("unknown option \"" + word + "\"");
        return UsageError("unexpected argument \"" + word + "\"");
    }
    if (request.range.hasFrom && request.range.hasTo && request.range.from > request.range.to) {
        return UsageError("--from lies after --to");
    }

    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(drives, &map, &error)) return UsageError(error);
    if (!hasNominal) request.nominalVolts = ReadNominalVoltage(FindClientConfig().iniPath);
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);  // ratio.txt, then the drive search
    if (reader.driveCode < 'D' || reader.driveCode > 'Z') {
        std::fprintf(stderr, "orvanta-card events: no card found on drives D: to Z:\n");
        return kExitFailed;
    }

    CEventScan scan(reader);
    EventScanResult result;
    {
        ProgressLine progress("events", "sectors read");
        scan.SetProgressHook([&progress](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); });
        result = scan.Scan(request);
    }
    if (result.status == OverviewStatus::kNoDevice) {
        std::fprintf(stderr, "orvanta-card events: %s\n", result.message.c_str());
        return kExitFailed;
    }
    if (!WriteOutput(out, EventsCsv(result.events))) {
        std::fprintf(stderr, "orvanta-card events: could not write %s\n", out.empty() ? "standard output" : out.c_str());
        return kExitFailed;
    }
    if (!result.message.empty()) std::fprintf(stderr, "orvanta-card events: %s\n", result.message.c_str());
    return result.status == OverviewStatus::kCardGone ? kExitFailed : kExitOk;
}

}  // namespace cardtool
}  // namespace orvanta
