// The subcommands of orvanta-card. Each Add...Command registers its
// subcommand, options and help with the program's CLI11 application and
// returns the subcommand with the function that runs it once the command line
// has been read; main() runs the one that was named. A new subcommand is one
// more file with such a function and one more line in main().
#pragma once

#include <functional>
#include <string>

#include "tools/common/command_line.h"

namespace orvanta {
namespace cardtool {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = cli::kExitUsage;

struct Command {
    CLI::App* app;               // the subcommand, as registered
    std::function<int()> run;    // runs it; returns the exit status
};

Command AddCreateCommand(CLI::App& program);
Command AddInfoCommand(CLI::App& program);
Command AddOverviewCommand(CLI::App& program);
Command AddEventsCommand(CLI::App& program);
Command AddAnalyseCommand(CLI::App& program);
Command AddReportCommand(CLI::App& program);
Command AddSaveCommand(CLI::App& program);
Command AddComtradeCommand(CLI::App& program);

// "orvanta-card create: message" and the pointer to its --help on standard
// error; returns kExitUsage. For checks made after the command line was read.
int UsageError(const Command& command, const std::string& message);

}  // namespace cardtool
}  // namespace orvanta
