// orvanta-query: one query of the recorder's card, posted to the analysis
// server without a window.
#include <cstdio>
#include <string>
#include <vector>

#include "request/form_poster.h"
#include "tools/orvanta_query/query_command.h"
#include "tools/orvanta_query/query_options.h"
#include "tools/common/command_line.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    orvanta::QueryOptions options;
    std::string error;
    switch (orvanta::ParseQueryOptions(arguments, &options, &error)) {
    case orvanta::ParseOutcome::Help:
        std::fputs(orvanta::QueryUsage().c_str(), stdout);
        return 0;
    case orvanta::ParseOutcome::Version:
        std::printf("%s\n", orvanta::QueryVersion().c_str());
        return 0;
    case orvanta::ParseOutcome::Error:
        return orvanta::cli::UsageError("orvanta-query", error);
    case orvanta::ParseOutcome::Run:
        break;
    }
    if (!orvanta::StartPosting(&error)) {
        std::fprintf(stderr, "orvanta-query: %s\n", error.c_str());
        return 1;
    }
    int status = orvanta::RunQueryCommand(options);
    orvanta::StopPosting();
    return status;
}
