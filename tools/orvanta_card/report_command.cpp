// orvanta-card report: the power-quality report of the card's recording (or
// of a time range of it) as one printable HTML page and as JSON, against
// EN 50160 and IEEE 519; with --batch, one report per card image and a
// summary of all of them.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "analysis/report_html.h"
#include "analysis/report_json.h"
#include "card/card_reader.h"
#include "card/drive_check.h"
#include "card/local_time.h"
#include "dialogcore/html_text.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "tools/orvanta_card/command_support.h"
#include "tools/orvanta_card/commands.h"
#include "tools/orvanta_card/scan_options.h"

namespace orvanta {
namespace cardtool {
namespace {

// The options as given; numbers and times are checked once all are read.
struct ReportArguments {
    std::vector<std::string> drives;
    std::string from, to, nominal, orders, il, isc, lang, html, json, batch;
    std::vector<std::string> images;
};

// What every report of a run shares.
struct ReportJob {
    TimeRange range;
    analysis::ReportSettings settings;
    UiLanguage language = UiLanguage::kChinese;
};

int RunReport(const Command& command, const ReportArguments& args);

}  // namespace

Command AddReportCommand(CLI::App& program) {
    auto args = std::make_shared<ReportArguments>();
    CLI::App* app = program.add_subcommand(
        "report", "power-quality report (EN 50160, IEEE 519, events) as HTML and JSON, for one card or many");
    cli::AddDriveOption(*app, &args->drives);
    app->add_option("--from", args->from, "start of the time range, local time")->type_name("TIME");
    app->add_option("--to", args->to, "end of the time range, local time")->type_name("TIME");
    app->add_option("--nominal", args->nominal,
                    "nominal voltage U in whole volts, 1 to " + std::to_string(kMaxNominalVolts) +
                        " (default: nominalVoltage of [Common] in orvanta-vemlar.ini, else " +
                        std::to_string(kDefaultNominalVolts) + ")")
        ->type_name("V");
    app->add_option("--orders", args->orders,
                    "harmonic orders 1 to N, N from " + std::to_string(analysis::kMinOrders) + " to " +
                        std::to_string(analysis::kMaxOrders) + " (" + std::to_string(analysis::kDefaultOrders) + ")")
        ->type_name("N");
    app->add_option("--il", args->il, "maximum demand current IL in amperes: adds IEEE 519's TDD")->type_name("A");
    app->add_option("--isc", args->isc, "short-circuit current Isc in amperes: the TDD limit of the Isc/IL row")
        ->type_name("A");
    app->add_option("--lang", args->lang, "language of the HTML: zh or en (default: English under an English locale)")
        ->type_name("zh|en");
    app->add_option("--html", args->html, "write the HTML report to FILE")->type_name("FILE");
    app->add_option("--json", args->json, "write the figures as JSON to FILE (- for standard output)")->type_name("FILE");
    app->add_option("--batch", args->batch, "one report per IMAGE into DIR, with summary.html and summary.csv")
        ->type_name("DIR");
    app->add_option("images", args->images, "card images, with --batch")->type_name("IMAGE");
    app->footer(
        "Reads every record of the card (or from the first record of --from to the last\n"
        "record of --to, local time) once, as \"analyse\" and \"events\" read them, and\n"
        "reports its power quality:\n"
        "  records and per-record values as \"analyse\" gives them (orders N); events as\n"
        "  \"events\" finds them against the nominal voltage U;\n"
        "  10-minute intervals [hh:m0:00, +600 s) of local standard time holding a record;\n"
        "  each quantity's interval value is the root of the mean of the squares of its\n"
        "  defined per-record values (IEC 61000-4-30's aggregation) for v_rms, i_rms,\n"
        "  v_thd_f, i_thd_f, the voltage harmonics h = 2..25 as 100 * V_h / V_1 and,\n"
        "  with --il, the TDD 100 * sqrt(sum I_h^2, h = 2..N) / IL;\n"
        "  95th percentiles by nearest rank: of m sorted values, rank ceil(0.95 * m);\n"
        "  EN 50160: the share of intervals with |v10 - U| <= 0.1 U (at least 95 %), the\n"
        "  v_thd_f p95 against 8 %, each harmonic's p95 against the standard's table\n"
        "  (2: 2, 3: 5, 4: 1, 5: 6, even 6-24: 0.5, 7: 5, 9: 1.5, 11: 3.5, 13: 3, 15: 0.5,\n"
        "  17: 2, 19: 1.5, 21: 0.5, 23: 1.5, 25: 1.5 %);\n"
        "  IEEE 519: v_thd_f p95 and each harmonic's p95 (h = 2..25) against the bus\n"
        "  voltage's limits (U <= 1 kV: 8 % and 5 %; to 69 kV: 5 % and 3 %; to 161 kV:\n"
        "  2.5 % and 1.5 %; above: 1.5 % and 1 %); the TDD p95 against the Isc/IL row\n"
        "  (< 20: 5, 20-50: 8, 50-100: 12, 100-1000: 15, > 1000: 20 %; without --isc the\n"
        "  < 20 row);\n"
        "  events in EN 50160's table: dips and interruptions by residual voltage\n"
        "  u = 100 * extreme / U (90 > u >= 80, 80 > u >= 70, 70 > u >= 40, 40 > u >= 5,\n"
        "  u < 5), swells (u >= 120, 120 > u > 110), by whole seconds d (d <= 1,\n"
        "  1 < d <= 5, 5 < d <= 60, d > 60); interruptions short (d <= 180 s) and long;\n"
        "  gaps: consecutive records more than 2 s apart, their count and seconds.\n"
        "It is computed from one period of each second's record: a sample, not the\n"
        "gapless measurement of IEC 61000-4-30 class A. Dips shorter than a second may be\n"
        "missed, durations are +-1 s, and the first duration column holds the\n"
        "sub-second ones. The HTML is one self-contained page, printable on A4, in\n"
        "Chinese, or in English with --lang en or an English LC_ALL, LC_MESSAGES or LANG.\n"
        "The JSON keys are listed in the README.\n"
        "With --batch DIR IMAGE...: each image is read as drive E:, its report written to\n"
        "DIR/NAME.html and DIR/NAME.json (NAME: the image's file name without its\n"
        "extension), and DIR/summary.html and DIR/summary.csv hold one row per image:\n"
        "image, serial, first and last record, records, each verdict, and the cause when\n"
        "the image could not be read. The run goes on after such an image.\n"
        "Exit status: 0 done, 1 no card found, the card failed during the scan (the\n"
        "report of the records read before is written) or a batch image failed,\n"
        "2 bad arguments.");
    Command command{app, nullptr};
    command.run = [command, args] { return RunReport(command, *args); };
    return command;
}

namespace {

bool ParseAmperes(const std::string& text, double* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed <= 0.0) return false;
    *value = parsed;
    return true;
}

// English when the locale's first named language is English.
UiLanguage LanguageOfEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        const std::string locale = value;
        const bool english = locale == "en" || locale.rfind("en_", 0) == 0 || locale.rfind("en.", 0) == 0 ||
                             locale.rfind("en-", 0) == 0;
        return english ? UiLanguage::kEnglish : UiLanguage::kChinese;
    }
    return UiLanguage::kChinese;
}

bool WriteFile(const std::string& path, const std::string& text) { return WriteOutput(path, text); }

struct CardOutcome {
    bool reported = false;                // a report was made
    bool complete = false;                // of the whole range
    std::string cause;                    // why not, or why incomplete
    analysis::RangeReport report;
};

// One card's report on the given drives; writes the files named.
CardOutcome ReportCard(const ReportJob& job, const DriveMap& map, const std::string& htmlPath,
                       const std::string& jsonPath, const char* progressUnit) {
    CardOutcome outcome;
    std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(map);
    CCardReader reader(*volumes);  // ratio.txt, then the drive search
    if (reader.driveCode < 'D' || reader.driveCode > 'Z') {
        outcome.cause = "no card found";
        for (const std::string& line : DriveReport(*volumes, map, TextLanguage::kEnglish)) {
            outcome.cause += "; " + line;
        }
        return outcome;
    }
    analysis::CRangeReport maker(reader, job.settings);
    {
        ProgressLine progress("report", progressUnit);
        maker.SetProgressHook([&progress](std::uint64_t done, std::uint64_t total) { progress.Update(done, total); });
        outcome.report = maker.Make(job.range);
    }
    if (outcome.report.status == OverviewStatus::kNoDevice) {
        outcome.cause = outcome.report.message;
        return outcome;
    }
    outcome.reported = true;
    outcome.complete = outcome.report.status == OverviewStatus::kDone;
    outcome.cause = outcome.report.message;
    if (!htmlPath.empty() && !WriteFile(htmlPath, analysis::ReportHtml(outcome.report, job.language))) {
        outcome.reported = false;
        outcome.cause = "could not write " + htmlPath;
    }
    else if (!jsonPath.empty() && !WriteFile(jsonPath, analysis::ReportJson(outcome.report))) {
        outcome.reported = false;
        outcome.cause = "could not write " + jsonPath;
    }
    return outcome;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? "card" : name;
}

std::vector<const char*> VerdictNames(const ReportJob& job) {
    std::vector<const char*> names = {"en50160_voltage", "en50160_thd", "en50160_harmonics", "ieee519_voltage_thd",
                                      "ieee519_voltage_harmonics"};
    if (job.settings.il) names.push_back("ieee519_tdd");
    return names;
}

int RunBatch(const ReportArguments& args, const ReportJob& job) {
    const std::string dir = args.batch;
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    if (made) {
        std::fprintf(stderr, "orvanta-card report: could not make %s: %s\n", dir.c_str(), made.message().c_str());
        return kExitFailed;
    }
    const std::vector<const char*> names = VerdictNames(job);
    std::string csv = "image,serial,first,last,records";
    for (const char* name : names) csv += std::string(",") + name;
    csv += ",cause\n";
    const bool english = job.language == UiLanguage::kEnglish;
    std::string rows;
    std::set<std::string> used;
    bool allDone = true;
    for (std::size_t i = 0; i < args.images.size(); ++i) {
        const std::string& image = args.images[i];
        std::fprintf(stderr, "orvanta-card report: %zu of %zu: %s\n", i + 1, args.images.size(), image.c_str());
        std::string stem = BaseName(image);
        for (int n = 2; !used.insert(stem).second; ++n) stem = BaseName(image) + "-" + std::to_string(n);
        DriveMap map;
        std::string error;
        CardOutcome outcome;
        if (!DriveMap::FromArguments({"E=" + image}, &map, &error)) {
            outcome.cause = error;
        } else {
            outcome = ReportCard(job, map, dir + "/" + stem + ".html", dir + "/" + stem + ".json", "sectors read");
        }
        if (!outcome.reported || !outcome.complete) allDone = false;
        if (!outcome.cause.empty()) std::fprintf(stderr, "orvanta-card report: %s: %s\n", image.c_str(), outcome.cause.c_str());
        const analysis::ReportFigures& f = outcome.report.figures;
        const bool figures = outcome.reported && f.records > 0;
        std::vector<std::string> fields = {image,
                                           outcome.reported ? std::to_string(outcome.report.serial) : "",
                                           figures ? FormatLocalStandard(f.first) : "",
                                           figures ? FormatLocalStandard(f.last) : "",
                                           outcome.reported ? std::to_string(f.records) : ""};
        for (const char* name : names) {
            std::string verdict;
            for (const analysis::Verdict& v : f.verdicts) {
                if (outcome.reported && std::string(v.name) == name) verdict = v.met ? "met" : "not met";
            }
            fields.push_back(verdict);
        }
        fields.push_back(outcome.cause);
        std::string line;
        rows += "<tr>";
        for (std::size_t c = 0; c < fields.size(); ++c) {
            line += (c ? "," : "") + CsvField(fields[c]);
            const bool link = c == 0 && outcome.reported;
            rows += "<td>" + (link ? "<a href=\"" + HtmlEscaped(stem) + ".html\">" : std::string()) +
                    HtmlEscaped(fields[c]) + (link ? "</a>" : "") + "</td>";
        }
        rows += "</tr>\n";
        csv += line + "\n";
    }
    std::string html = std::string("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>") +
                       (english ? "Power-quality reports" : "电能质量报告汇总") +
                       "</title><style>@page{size:A4 landscape;margin:12mm}body{font-family:sans-serif;font-size:9pt}"
                       "table{border-collapse:collapse}th,td{border:1px solid #999;padding:2px 5px}</style></head>"
                       "<body>\n<h1>" + (english ? "Power-quality reports" : "电能质量报告汇总") +
                       "</h1>\n<table><tr><th>" + (english ? "image" : "映像") + "</th><th>serial</th><th>first</th>"
                       "<th>last</th><th>records</th>";
    for (const char* name : names) html += "<th>" + HtmlEscaped(analysis::VerdictCaption(name, job.language)) + "</th>";
    html += std::string("<th>") + (english ? "cause" : "原因") + "</th></tr>\n" + rows + "</table>\n</body></html>\n";
    if (!WriteFile(dir + "/summary.csv", csv) || !WriteFile(dir + "/summary.html", html)) {
        std::fprintf(stderr, "orvanta-card report: could not write the summary in %s\n", dir.c_str());
        return kExitFailed;
    }
    return allDone ? kExitOk : kExitFailed;
}

int RunReport(const Command& command, const ReportArguments& args) {
    const CLI::App& app = *command.app;
    ReportJob job;
    TimeRange& range = job.range;
    std::string rangeError;
    if (!ParseTimeRange(*command.app, args.from, args.to, &range, &rangeError)) return UsageError(command, rangeError);
    analysis::ReportSettings& settings = job.settings;
    if (const int status = ReadNominalOption(command, args.nominal, &settings.nominalVolts); status != kExitOk) {
        return status;
    }
    if (const int status = ReadOrdersOption(command, args.orders, &settings.orders); status != kExitOk) return status;
    for (const char* option : {"--il", "--isc"}) {
        if (app.count(option) == 0) continue;
        const bool il = std::string(option) == "--il";
        double amperes = 0.0;
        if (!ParseAmperes(il ? args.il : args.isc, &amperes)) {
            return UsageError(command, std::string(option) + " needs a current in amperes above 0");
        }
        (il ? settings.il : settings.isc) = amperes;
    }
    if (settings.isc && !settings.il) return UsageError(command, "--isc needs --il");
    if (app.count("--lang") > 0) {
        if (args.lang != "zh" && args.lang != "en") return UsageError(command, "--lang needs zh or en");
        job.language = args.lang == "en" ? UiLanguage::kEnglish : UiLanguage::kChinese;
    } else {
        job.language = LanguageOfEnvironment();
    }

    if (app.count("--batch") > 0) {
        if (args.images.empty()) return UsageError(command, "--batch needs at least one IMAGE");
        if (!args.drives.empty() || app.count("--html") > 0 || app.count("--json") > 0) {
            return UsageError(command, "--batch takes no --drive, --html or --json: each IMAGE gets its files in DIR");
        }
        return RunBatch(args, job);
    }
    if (!args.images.empty()) return UsageError(command, "card images are read with --batch DIR only");
    if (args.html.empty()) return UsageError(command, "--html FILE is required");

    DriveMap map;
    std::string error;
    if (!DriveMap::FromArguments(args.drives, &map, &error)) return UsageError(command, error);
    const CardOutcome outcome = ReportCard(job, map, args.html, args.json, "sectors read");
    if (!outcome.cause.empty()) std::fprintf(stderr, "orvanta-card report: %s\n", outcome.cause.c_str());
    return outcome.reported && outcome.complete ? kExitOk : kExitFailed;
}

}  // namespace
}  // namespace cardtool
}  // namespace orvanta
