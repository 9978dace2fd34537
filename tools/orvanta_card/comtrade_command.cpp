// orvanta-card comtrade: one record, or every record of a time range, as
// COMTRADE files (IEEE C37.111-1999) for the viewers of protection and
// power-quality engineers (analysis/comtrade_writer.h).
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "analysis/comtrade_writer.h"
#include "card/card_reader.h"
#include "card/card_scan_source.h"
#include "card/local_time.h"
#include "card/range_scan.h"
#include "dialogcore/record_comtrade.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "request/client_settings.h"
#include "request/config_search.h"
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {
namespace {

struct ComtradeArguments {
    std::vector<std::string> drives;
    std::string at, from, to, frequency, out;
    bool binary = false;
};

int RunComtrade(const Command& command, const ComtradeArguments& args);

}  // namespace

Command AddComtradeCommand(CLI::App& program) {
    auto args = std::make_shared<ComtradeArguments>();
    CLI::App* app = program.add_subcommand("comtrade", "one record or a time range as COMTRADE files (.cfg, .dat)");
    cli::AddDriveOption(*app, &args->drives);
    app->add_option("--at", args->at, "the record of this second, local time")->type_name("TIME");
    app->add_option("--from", args->from, "start of the time range, local time")->type_name("TIME");
    app->add_option("--to", args->to, "end of the time range, local time")->type_name("TIME");
    app->add_flag("--binary", args->binary, "BINARY data (ASCII by default)");
    app->add_option("--frequency", args->frequency, "line frequency, 50 or 60 (the configuration file's, else 50)")
        ->type_name("HZ");
    app->add_option("OUT", args->out, "the files' path without extension: OUT.cfg and OUT.dat")->required();
    app->footer(
        "Writes OUT.cfg and OUT.dat in the 1999 revision of IEEE C37.111 (COMTRADE),\n"
        "CR LF line ends. Give either --at (the record of that second, as the window\n"
        "finds it) or both --from and --to (every record of the range).\n"
        "Channel 1 \"current\" is channel A in A, channel 2 \"voltage\" channel B in V;\n"
        "each stores the raw count x with a = ratio * scale factor and b = -zero level * a\n"
        "(zero levels 506.3 and 509.0, scale factors 0.019419 and 2.531745, ratios from\n"
        "ratio.txt), so a * x + b is the value of the local analysis. A count above\n"
        "32767 cannot be held by BINARY's signed 16 bits and is written as the\n"
        "missing-value code 0x8000 (99999 in ASCII), with a warning counting them.\n"
        "The sampling rate is 96 times the line frequency (--frequency, else the key\n"
        "nominalFrequency in [Common] of orvanta-vemlar.ini, else 50).\n"
        "--at: 126 samples at one rate (nrates 1); the start and trigger time are the\n"
        "record's second, local standard time.\n"
        "--from/--to: nrates 0, every sample stamped in microseconds from the first;\n"
        "each record's 126 pairs run at the sampling rate from its second, records of\n"
        "one second follow one another. The recorder keeps one period a second, so the\n"
        "waveform has a gap after each record. A file spans at most 2^31 - 1 us (about\n"
        "35 minutes): a longer range is written as OUT_001, OUT_002, ... pairs.\n"
        "Exit status: 0 written, 1 no card, no record or a failed write, 2 bad arguments.");
    Command command{app, nullptr};
    command.run = [command, args] { return RunComtrade(command, *args); };
    return command;
}

namespace {

// OUT without a ".cfg" or ".dat" the user may have given.
std::string OutBase(const std::string& out) {
    for (const char* extension : {".cfg", ".dat", ".CFG", ".DAT"}) {
        const std::string ext = extension;
        if (out.size() > ext.size() && out.compare(out.size() - ext.size(), ext.size(), ext) == 0) {
            return out.substr(0, out.size() - ext.size());
        }
    }
    return out;
}

int RunComtrade(const Command& command, const ComtradeArguments& args) {
    const bool at = command.app->count("--at") > 0;
    const bool ranged = command.app->count("--from") > 0 || command.app->count("--to") > 0;
    if (at == ranged || (ranged && (command.app->count("--from") == 0 || command.app->count("--to") == 0))) {
        return UsageError(command, "give either --at, or both --from and --to");
    }
    std::int32_t atTime = 0;
    if (at && !ParseTime(args.at, &atTime)) {
        return UsageError(command, "--at needs a local time \"YYYY-MM-DD HH:MM:SS\" (1970 to 2038)");
    }
    TimeRange range;
    std::string error;
    if (!ParseTimeRange(*command.app, args.from, args.to, &range, &error)) return UsageError(command, error);
    int frequency = kDefaultNominalFrequency;
    if (command.app->count("--frequency") > 0) {
        if (!ParseNominalFrequency(args.frequency, &frequency)) return UsageError(command, "--frequency needs 50 or 60");
    } else {
        frequency = ReadNominalFrequency(FindClientConfig().iniPath);
    }

    DriveMap map;
    if (!DriveMap::FromArguments(args.drives, &map, &error)) return UsageError(command, error);
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);
    if (reader.driveCode < 'D' || reader.driveCode > 'Z') {
        std::fprintf(stderr, "orvanta-card comtrade: no card found on drives D: to Z:\n");
        return kExitFailed;
    }
    reader.ReadDeviceRecord();
    analysis::ComtradeSetup setup = ComtradeSetupOf(reader, frequency);
    setup.binary = args.binary;
    setup.oneRecord = at;
    analysis::CComtradeWriter writer(OutBase(args.out), setup);

    std::string scanMessage;
    bool cardFailed = false;
    if (at) {
        reader.QueryCard(atTime);
        // The record the query found, read again: the query's trend reads
        // may have used the buffer since.
        const std::int32_t time = reader.actualTime > 0 ? reader.ReadSector(reader.currentSector) : 0;
        if (time <= 0) {
            std::fprintf(stderr, "orvanta-card comtrade: no record at or before %s\n", args.at.c_str());
            return kExitFailed;
        }
        writer.Add(time, reader.sectorBuffer);
    } else {
        CRangeScan scan{CardScanSource(reader)};
        ProgressLine progress("comtrade", "sectors read", true);
        scan.SetProgressHook([&progress](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); });
        const RangeScanResult result = scan.Scan(
            range, [&](std::uint32_t, std::int32_t time, const unsigned char* bytes) { writer.Add(time, bytes); },
            "the card stopped answering during the export");
        scanMessage = result.message;
        cardFailed = result.status == OverviewStatus::kCardGone || result.status == OverviewStatus::kNoDevice;
    }
    const analysis::ComtradeResult written = writer.Finish();
    if (!scanMessage.empty()) std::fprintf(stderr, "orvanta-card comtrade: %s\n", scanMessage.c_str());
    if (!written.error.empty()) {
        std::fprintf(stderr, "orvanta-card comtrade: %s\n", written.error.c_str());
        return kExitFailed;
    }
    if (written.missing > 0) {
        std::fprintf(stderr, "orvanta-card comtrade: warning: %llu counts above 32767 written as the missing-value code\n",
                     static_cast<unsigned long long>(written.missing));
    }
    for (const std::string& file : written.files) std::printf("%s\n", file.c_str());
    std::printf("%llu records, %llu samples at %d Hz\n", static_cast<unsigned long long>(written.records),
                static_cast<unsigned long long>(written.samples), 96 * frequency);
    return cardFailed ? kExitFailed : kExitOk;
}

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
