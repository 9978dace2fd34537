// The command line of orvanta-query:
//   orvanta-query [--drive L=PATH]... [--time "YYYY-MM-DD HH:MM:SS"] [--config FILE]
//                 [--request-out FILE] [--csv FILE] [--no-send] [--out FILE]
// Options take their value as the next argument or after '=' (--time=...);
// they are read by CLI11 with the programs' shared conventions
// (tools/common/command_line.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {

struct QueryOptions {
    std::vector<std::string> driveArguments;  // "L=PATH", in the order given
    bool hasTime = false;                     // --time given; otherwise now
    std::int32_t selectedTime = 0;            // --time as local standard time
    std::string configPath;                   // --config; empty: the configuration search
    std::string requestOut;                   // --request-out; "-" is standard output
    std::string csvOut;                       // --csv; "-" is standard output
    bool noSend = false;                      // --no-send
    std::string answerOut;                    // --out; empty or "-": standard output
};

enum class ParseOutcome {
    Run,      // options complete: run the query
    Help,     // --help or -h: print the usage and stop
    Version,  // --version: print the version and stop
    Error,    // bad arguments: *error says why (exit status 2)
};

// Parses the arguments after the program name. --time is converted with the
// current time zone (mktime, daylight-saving flag 0).
ParseOutcome ParseQueryOptions(const std::vector<std::string>& arguments, QueryOptions* options,
                               std::string* error);

// The usage text, several lines, ending with a line end.
std::string QueryUsage();

// "orvanta-query VERSION".
std::string QueryVersion();

}  // namespace orvanta
