#include "tools/orvanta_query/query_options.h"

#include <memory>

#include "card/local_time.h"
#include "tools/common/command_line.h"

namespace orvanta {
namespace {

const char kProgram[] = "orvanta-query";

// Converts "YYYY-MM-DD HH:MM:SS" of local time into a time value.
bool ParseTime(const std::string& text, std::int32_t* time, std::string* error) {
    LocalFields fields;
    if (!ParseLocalFields(text, &fields)) {
        *error = "--time \"" + text + "\" is not a time of the form \"YYYY-MM-DD HH:MM:SS\"";
        return false;
    }
    std::int32_t value = LocalStandardTime(fields);
    // -1 is also the answer for a moment a 32-bit count cannot hold; the
    // genuine -1 formats back to the same text.
    if (value == -1 && FormatLocalStandard(-1) != text) {
        *error = "--time \"" + text + "\" lies outside the range of 32-bit time values (1901 to 2038)";
        return false;
    }
    *time = value;
    return true;
}

std::string CheckFileName(const std::string& value) { return value.empty() ? "needs a file name" : std::string(); }

// The command line as CLI11 reads it, into `options` and `time`.
std::unique_ptr<CLI::App> MakeApp(QueryOptions* options, std::string* time) {
    auto app = std::make_unique<CLI::App>(
        "Queries the recorder's card for one second and posts the request to the analysis\n"
        "server, as the window's refresh button does.");
    cli::Configure(*app, kProgram);
    cli::AddDriveOption(*app, &options->driveArguments);
    app->add_option("--time", *time, "the second to query, local time; default: now")
        ->type_name("\"YYYY-MM-DD HH:MM:SS\"")
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app->add_option("--config", options->configPath,
                    "the configuration file (default: the search below)")
        ->type_name("FILE")
        ->check(CheckFileName)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app->add_option("--request-out", options->requestOut,
                    "write the header block, CR LF and the body there")
        ->type_name("FILE")
        ->check(CheckFileName)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app->add_option("--csv", options->csvOut,
                    "write the record found as the window's export does: FILE.csv gives FILE-waveform.csv, "
                    "FILE-trend.csv and FILE-info.csv ('-': the three tables on standard output; none "
                    "without a record: exit 1)")
        ->type_name("FILE")
        ->check(CheckFileName)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app->add_flag("--no-send", options->noSend, "build the request but do not post it");
    app->add_option("--out", options->answerOut,
                    "write the server's answer page there (default: standard output)")
        ->type_name("FILE")
        ->check(CheckFileName)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app->footer(
        "Without --drive, removable media get the letters D, E, F, ... The configuration\n"
        "file is the first orvanta-vemlar.ini found beside this program, in\n"
        "$XDG_CONFIG_HOME/orvanta/ (~/.config/orvanta/) or in /etc/orvanta/. FILE '-' is\n"
        "standard output. ratio.txt is read from the working directory.\n"
        "Exit status: 0 done, 1 the request could not be made, was refused or redirected\n"
        "to another origin, no page came back, or no connection or complete answer came\n"
        "in time (15 s, 120 s), 2 bad arguments.");
    return app;
}

}  // namespace

ParseOutcome ParseQueryOptions(const std::vector<std::string>& arguments, QueryOptions* options,
                               std::string* error) {
    *options = QueryOptions();
    std::string time;
    std::unique_ptr<CLI::App> app = MakeApp(options, &time);
    try {
        app->parse(cli::ParseOrder(arguments));
    } catch (const CLI::CallForHelp&) {
        return ParseOutcome::Help;
    } catch (const CLI::CallForVersion&) {
        return ParseOutcome::Version;
    } catch (const CLI::ParseError& e) {
        *error = e.what();
        return ParseOutcome::Error;
    }
    if (app->count("--time") > 0) {
        if (!ParseTime(time, &options->selectedTime, error)) return ParseOutcome::Error;
        options->hasTime = true;
    }
    return ParseOutcome::Run;
}

std::string QueryUsage() {
    QueryOptions options;
    std::string time;
    return MakeApp(&options, &time)->help();
}

std::string QueryVersion() { return cli::VersionText(kProgram); }

}  // namespace orvanta
