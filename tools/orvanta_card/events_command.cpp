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
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"
#include "tools/orvanta_card/scan_options.h"

namespace orvanta {
namespace cardtool {
namespace {

// The options as given; numbers and times are checked once all are read.
struct EventsArguments {
    std::vector<std::string> drives;
    std::string from, to, nominal, out;
};

int RunEvents(const Command& command, const EventsArguments& args);

}  // namespace

Command AddEventsCommand(CLI::App& program) {
    auto args = std::make_shared<EventsArguments>();
    CLI::App* app = program.add_subcommand("events", "dips, swells and interruptions of the voltage, as CSV");
    cli::AddDriveOption(*app, &args->drives);
    app->add_option("--from", args->from, "start of the time range, local time")->type_name("TIME");
    app->add_option("--to", args->to, "end of the time range, local time")->type_name("TIME");
    app->add_option("--nominal", args->nominal,
                    "nominal voltage in whole volts, 1 to " + std::to_string(kMaxNominalVolts) +
                        " (default: nominalVoltage of [Common] in orvanta-vemlar.ini, else " +
                        std::to_string(kDefaultNominalVolts) + ")")
        ->type_name("V");
    app->add_option("--out", args->out, "write the CSV to FILE (standard output)")->type_name("FILE");
    app->footer(
        "Reads every record of the card (or from the first record of --from to the last\n"
        "record of --to, local time) and writes its voltage events as CSV:\n"
        "kind,start,end,duration_s,extreme_v,records,ended\n"
        "Each record's voltage is its channel B trend value, as the trend text gives it\n"
        "(ratio.txt in the working directory applies). Against the nominal voltage U:\n"
        "a dip starts below 90 % of U and ends at 92 % or more; a swell starts above\n"
        "110 % and ends at 108 % or less; a dip whose minimum is below 10 % of U is an\n"
        "interruption. A pause of more than 2 s, or the end of the range, ends an open\n"
        "event at its last record with ended 0. Without events only the header is written.\n"
        "Exit status: 0 done, 1 no card found or the card failed during the scan,\n"
        "2 bad arguments.");
    Command command{app, nullptr};
    command.run = [command, args] { return RunEvents(command, *args); };
    return command;
}

namespace {

int RunEvents(const Command& command, const EventsArguments& args) {
    EventScanRequest request;
    TimeRange& range = request.range;
    std::string rangeError;
    if (!ParseTimeRange(*command.app, args.from, args.to, &range, &rangeError)) return UsageError(command, rangeError);
    if (const int status = ReadNominalOption(command, args.nominal, &request.nominalVolts); status != kExitOk) {
        return status;
    }

    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(args.drives, &map, &error)) return UsageError(command, error);
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
    const std::string& out = args.out;
    if (!WriteOutput(out, EventsCsv(result.events))) {
        std::fprintf(stderr, "orvanta-card events: could not write %s\n", out.empty() ? "standard output" : out.c_str());
        return kExitFailed;
    }
    if (!result.message.empty()) std::fprintf(stderr, "orvanta-card events: %s\n", result.message.c_str());
    return result.status == OverviewStatus::kCardGone ? kExitFailed : kExitOk;
}

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
