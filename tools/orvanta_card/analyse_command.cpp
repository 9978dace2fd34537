// orvanta-card analyse: the power quality of every record of the card (or of a
// time range of it) as CSV, one row per record in ring order, computed here
// from one period of each record (analysis/).
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "analysis/quality_csv.h"
#include "analysis/range_analysis.h"
#include "card/card_reader.h"
#include "card/local_time.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"
#include "tools/orvanta_card/scan_options.h"

namespace orvanta {
namespace cardtool {
namespace {

// Rows are written in blocks of about this many bytes, so that a day with
// its harmonics is never held whole.
constexpr std::size_t kWriteBlock = 1 << 20;

// The options as given; numbers and times are checked once all are read.
struct AnalyseArguments {
    std::vector<std::string> drives;
    std::string from, to, orders, out;
    bool harmonics = false;
};

int RunAnalyse(const Command& command, const AnalyseArguments& args);

}  // namespace

Command AddAnalyseCommand(CLI::App& program) {
    auto args = std::make_shared<AnalyseArguments>();
    CLI::App* app = program.add_subcommand("analyse", "power quality of every record (harmonics, THD, power), as CSV");
    cli::AddDriveOption(*app, &args->drives);
    app->add_option("--from", args->from, "start of the time range, local time")->type_name("TIME");
    app->add_option("--to", args->to, "end of the time range, local time")->type_name("TIME");
    app->add_option("--orders", args->orders,
                    "harmonic orders 1 to N, N from " + std::to_string(analysis::kMinOrders) + " to " +
                        std::to_string(analysis::kMaxOrders) + " (" + std::to_string(analysis::kDefaultOrders) + ")")
        ->type_name("N");
    app->add_flag("--harmonics", args->harmonics, "add the RMS value of every harmonic of both channels");
    app->add_option("--out", args->out, "write the CSV to FILE (standard output)")->type_name("FILE");
    app->footer(
        "Reads every record of the card (or from the first record of --from to the last\n"
        "record of --to, local time), in ring order, and writes one CSV row per record:\n"
        "  " + analysis::QualityCsvHeader(analysis::kDefaultOrders, false, "\"time (local standard time, UTC+hh:mm)\"") + "\n"
        "and with --harmonics then v_h1 (V) .. v_hN (V) and i_h1 (A) .. i_hN (A).\n"
        "Each row is computed on this computer from one period of the record: the\n"
        "recorder samples 96 times a period, and pairs 1 to 96 of the record's 126 are\n"
        "that period. It is a sample of one period a second, not the gapless\n"
        "measurement of IEC 61000-4-30 class A. With k = 1..96 and ratio.txt in the\n"
        "working directory:\n"
        "  i_k = (A_k - 506.3) * ratioA * 0.019419 A,  v_k = (B_k - 509.0) * ratioB * 2.531745 V\n"
        "  rms: root of the mean of the 96 squares; X_h: sqrt(2)/96 * |DFT bin h|, the\n"
        "  RMS value of harmonic h = 1..N;\n"
        "  thd_f = 100 * sqrt(sum X_h^2, h = 2..N) / X_1;\n"
        "  thd_r = 100 * sqrt(sum X_h^2, h = 2..N) / sqrt(sum X_h^2, h = 1..N);\n"
        "  p = mean of v_k * i_k; s = v_rms * i_rms; pf = p / s;\n"
        "  dpf = cos(phiV_1 - phiI_1); q1 = V_1 * I_1 * sin(phiV_1 - phiI_1), positive\n"
        "  when the current lags; crest = max|x_k| / rms;\n"
        "  i_k_factor = sum h^2 * I_h^2 / sum I_h^2, h = 1..N;\n"
        "  clipped = 1 when a pair has |A_k - 509| > 518 or |B_k - 509| > 518.\n"
        "Numbers are written as printf %.9g; a value whose divisor is at most 1e-9\n"
        "(dpf: V_1 or I_1 at most 1e-9) is undefined and its field empty. Without\n"
        "records in the range only the header is written. Progress goes to standard\n"
        "error when it is a terminal.\n"
        "Exit status: 0 done, 1 no card found or the card failed during the scan (the\n"
        "rows read before are written), 2 bad arguments (an N outside 2 to 47).");
    Command command{app, nullptr};
    command.run = [command, args] { return RunAnalyse(command, *args); };
    return command;
}

namespace {

int RunAnalyse(const Command& command, const AnalyseArguments& args) {
    TimeRange range;
    std::string rangeError;
    if (!ParseTimeRange(*command.app, args.from, args.to, &range, &rangeError)) return UsageError(command, rangeError);
    int orders = analysis::kDefaultOrders;
    if (const int status = ReadOrdersOption(command, args.orders, &orders); status != kExitOk) return status;

    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(args.drives, &map, &error)) return UsageError(command, error);
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);  // ratio.txt, then the drive search
    if (reader.driveCode < 'D' || reader.driveCode > 'Z') {
        std::fprintf(stderr, "orvanta-card analyse: no card found on drives D: to Z:\n");
        return kExitFailed;
    }

    const std::string target = args.out.empty() ? "standard output" : args.out;
    const bool toStdout = args.out.empty() || args.out == "-";
    std::FILE* file = toStdout ? stdout : std::fopen(args.out.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "orvanta-card analyse: could not write %s\n", target.c_str());
        return kExitFailed;
    }
    bool written = true;
    // The offset of local standard time at the range's start (or now).
    const std::int32_t zoneAt = range.hasFrom ? range.from : ToTime32(std::time(nullptr));
    std::string block = analysis::QualityCsvHeader(orders, args.harmonics, LocalTimeColumn(zoneAt)) + "\n";
    const auto flush = [&] {
        written = written && std::fwrite(block.data(), 1, block.size(), file) == block.size();
        block.clear();
    };

    analysis::CQualityCsvRows rows(args.harmonics);
    analysis::CRangeAnalysis analysis(reader, orders);
    analysis::RangeAnalysisResult result;
    {
        ProgressLine progress("analyse", "sectors read", true);
        analysis.SetProgressHook([&progress](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); });
        result = analysis.Scan(range, [&](std::uint32_t sector, std::int32_t time, const analysis::PowerQuality& q) {
            rows.Append(time, sector, q, &block);
            if (block.size() >= kWriteBlock) flush();
        });
    }
    flush();
    written = (toStdout ? std::fflush(file) == 0 : std::fclose(file) == 0) && written;
    if (!written) {
        std::fprintf(stderr, "orvanta-card analyse: could not write %s\n", target.c_str());
        return kExitFailed;
    }
    if (!result.message.empty()) std::fprintf(stderr, "orvanta-card analyse: %s\n", result.message.c_str());
    return result.status == OverviewStatus::kCardGone || result.status == OverviewStatus::kNoDevice ? kExitFailed
                                                                                                     : kExitOk;
}

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
