#include "tools/orvanta_query/query_options.h"

#include "card/local_time.h"
#include "platform/drive_map.h"

namespace orvanta {
namespace {

bool TakesValue(const std::string& name) {
    return name == "--drive" || name == "--time" || name == "--config" || name == "--request-out" ||
           name == "--out" || name == "--csv";
}

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

bool SetOnce(const std::string& name, const std::string& value, bool given, std::string* target,
             std::string* error) {
    if (given) {
        *error = name + " is given more than once";
        return false;
    }
    if (value.empty()) {
        *error = name + " needs a file name";
        return false;
    }
    *target = value;
    return true;
}

}  // namespace

ParseOutcome ParseQueryOptions(const std::vector<std::string>& arguments, QueryOptions* options,
                               std::string* error) {
    *options = QueryOptions();
    bool haveConfig = false, haveRequestOut = false, haveOut = false, haveCsv = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool hasValue = false;
        std::size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            if (hasValue) {
                *error = name + " takes no value";
                return ParseOutcome::Error;
            }
            return ParseOutcome::Help;
        }
        if (name == "--no-send") {
            if (hasValue) {
                *error = "--no-send takes no value";
                return ParseOutcome::Error;
            }
            options->noSend = true;
            continue;
        }
        if (!TakesValue(name)) {
            *error = name.rfind("-", 0) == 0 && name.size() > 1 ? "unknown option " + name
                                                                 : "unexpected argument \"" + arguments[i] + "\"";
            return ParseOutcome::Error;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                *error = name + " needs a value";
                return ParseOutcome::Error;
            }
            value = arguments[++i];
        }

        if (name == "--drive") {
            DriveMap scratch;
            std::string why;
            if (!scratch.AddArgument(value, &why)) {
                *error = "--drive \"" + value + "\": " + why;
                return ParseOutcome::Error;
            }
            options->driveArguments.push_back(value);
        } else if (name == "--time") {
            if (options->hasTime) {
                *error = "--time is given more than once";
                return ParseOutcome::Error;
            }
            if (!ParseTime(value, &options->selectedTime, error)) return ParseOutcome::Error;
            options->hasTime = true;
        } else if (name == "--config") {
            if (!SetOnce(name, value, haveConfig, &options->configPath, error)) return ParseOutcome::Error;
            haveConfig = true;
        } else if (name == "--request-out") {
            if (!SetOnce(name, value, haveRequestOut, &options->requestOut, error)) return ParseOutcome::Error;
            haveRequestOut = true;
        } else if (name == "--csv") {
            if (!SetOnce(name, value, haveCsv, &options->csvOut, error)) return ParseOutcome::Error;
            haveCsv = true;
        } else {  // --out
            if (!SetOnce(name, value, haveOut, &options->answerOut, error)) return ParseOutcome::Error;
            haveOut = true;
        }
    }
    return ParseOutcome::Run;
}

std::string QueryUsage() {
    return "Usage: orvanta-query [--drive L=PATH]... [--time \"YYYY-MM-DD HH:MM:SS\"] [--config FILE]\n"
           "                     [--request-out FILE] [--csv FILE] [--no-send] [--out FILE]\n"
           "\n"
           "Queries the recorder's card for one second and posts the request to the analysis\n"
           "server, as the window's refresh button does.\n"
           "\n"
           "  --drive L=PATH      drive letter L stands for the device or image PATH (repeatable);\n"
           "                      without any, removable media get the letters D, E, F, ...\n"
           "  --time TIME         the second to query, local time; default: now\n"
           "  --config FILE       the configuration file; default: the first orvanta-vemlar.ini\n"
           "                      found beside this program, in $XDG_CONFIG_HOME/orvanta/\n"
           "                      (~/.config/orvanta/) or in /etc/orvanta/\n"
           "  --request-out FILE  write the header block, CR LF and the body there ('-': standard\n"
           "                      output)\n"
           "  --csv FILE          write the record found as CSV there ('-': standard output):\n"
           "                      drive, serial, record time, sector, the sample pairs and\n"
           "                      the trend points, as the window's CSV export; without a\n"
           "                      record nothing is written and the exit status is 1\n"
           "  --no-send           build the request but do not post it\n"
           "  --out FILE          write the server's answer page there; default: standard output\n"
           "\n"
           "ratio.txt is read from the working directory. Exit status: 0 done, 1 the request\n"
           "could not be made, was refused or redirected to another origin, no page came\n"
           "back, or no connection or complete answer came in time (15 s, 120 s), 2 bad\n"
           "arguments.\n";
}

}  // namespace orvanta
