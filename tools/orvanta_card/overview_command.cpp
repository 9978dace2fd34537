// orvanta-card overview: the card's recording as CSV, sampled at up to N
// points from the oldest record to the newest (or within a time range), each
// row the record's local time, physical sector, trend point and real RMS.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "card/card_overview.h"
#include "card/card_reader.h"
#include "card/local_time.h"
#include "card/overview_csv.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "tools/orvanta_card/arguments.h"
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

constexpr std::uint64_t kMaxPoints = 10000000;

// The options as given; numbers and times are checked once all are read.
struct OverviewArguments {
    std::vector<std::string> drives;
    std::string points, from, to, out;
};

int RunOverview(const Command& command, const OverviewArguments& args);

}  // namespace

Command AddOverviewCommand(CLI::App& program) {
    auto args = std::make_shared<OverviewArguments>();
    CLI::App* app = program.add_subcommand("overview", "the recording sampled at up to N points, as CSV");
    cli::AddDriveOption(*app, &args->drives);
    app->add_option("--points", args->points, "at most N samples, 1 or more (1000)")->type_name("N");
    app->add_option("--from", args->from, "start of the time range, local time")->type_name("TIME");
    app->add_option("--to", args->to, "end of the time range, local time")->type_name("TIME");
    app->add_option("--out", args->out, "write the CSV to FILE (standard output)")->type_name("FILE");
    app->footer(
        "Samples the card's ring of records at up to N evenly spread points, from the\n"
        "oldest record to the newest (or from the first record of --from to the last\n"
        "record of --to, local time), and writes CSV with the columns\n"
        "  \"time (local standard time, UTC+hh:mm)\",sector,trend_a (A),trend_b (V),rms_a (A),rms_b (V)\n"
        "Only records inside the range appear. The trend values are the trend text's\n"
        "two integers of each record (empty when the record gives none); rms_a and\n"
        "rms_b are the record's unrounded RMS, each channel zero-corrected with its\n"
        "own zero level. ratio.txt in the working directory applies.\n"
        "Exit status: 0 done, 1 no card found, no record in the range (nothing is\n"
        "written) or the card failed during the scan, 2 bad arguments.");
    Command command{app, nullptr};
    command.run = [command, args] { return RunOverview(command, *args); };
    return command;
}

namespace {

int RunOverview(const Command& command, const OverviewArguments& args) {
    const CLI::App& app = *command.app;
    OverviewRequest request;
    const std::string& out = args.out;
    if (app.count("--points") > 0) {
        std::uint64_t points = 0;
        if (!ParseUnsigned(args.points, kMaxPoints, &points) || points == 0) {
            return UsageError(command, "--points needs a number from 1 to " + std::to_string(kMaxPoints));
        }
        request.points = static_cast<std::uint32_t>(points);
    }
    TimeRange range;
    std::string rangeError;
    if (!ParseTimeRange(app, args.from, args.to, &range, &rangeError)) return UsageError(command, rangeError);
    request.hasFrom = range.hasFrom;
    request.from = range.from;
    request.hasTo = range.hasTo;
    request.to = range.to;

    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(args.drives, &map, &error)) return UsageError(command, error);
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
    if (result.samples.empty() && (result.status == OverviewStatus::kDone || result.status == OverviewStatus::kNoRecords)) {
        if (request.hasFrom || request.hasTo) {
            std::fprintf(stderr, "orvanta-card overview: no records between %s and %s; nothing written\n",
                         request.hasFrom ? FormatLocalStandard(request.from).c_str() : "the oldest record",
                         request.hasTo ? FormatLocalStandard(request.to).c_str() : "the newest record");
        } else {
            std::fprintf(stderr, "orvanta-card overview: the card holds no records; nothing written\n");
        }
        return kExitFailed;
    }
    if (!WriteOutput(out, OverviewCsv(result.samples))) {
        std::fprintf(stderr, "orvanta-card overview: could not write %s\n", out.empty() ? "standard output" : out.c_str());
        return kExitFailed;
    }
    if (!result.message.empty()) std::fprintf(stderr, "orvanta-card overview: %s\n", result.message.c_str());
    return result.status == OverviewStatus::kCardGone ? kExitFailed : kExitOk;
}

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
