// orvanta-card: writes synthetic recorder cards, shows what a card holds,
// finds its voltage events, analyses the power quality of its records and
// reports it against EN 50160 and IEEE 519, saves it as an image and
// exports records as COMTRADE files.
#include <vector>

#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {

int UsageError(const Command& command, const std::string& message) {
    return cli::UsageError("orvanta-card " + command.app->get_name(), message);
}

}  // namespace cardtool
}  // namespace orvanta

int main(int argc, char** argv) {
    using namespace orvanta::cardtool;
    CLI::App program(
        "Writes synthetic recorder cards, shows what a card holds, finds its voltage events, analyses the power "
        "quality of its records and reports it against EN 50160 and IEEE 519, saves the card as an image file and "
        "exports records as COMTRADE files.");
    orvanta::cli::Configure(program, "orvanta-card");
    program.require_subcommand(1);
    program.footer("Run \"orvanta-card COMMAND --help\" for the options of a command.\n"
                   "Exit status: 0 done, 1 no card found or the work failed, 2 bad arguments.");
    const std::vector<Command> commands = {
        AddCreateCommand(program),
        AddInfoCommand(program),
        AddOverviewCommand(program),
        AddEventsCommand(program),
        AddAnalyseCommand(program),
        AddReportCommand(program),
        AddSaveCommand(program),
        AddComtradeCommand(program),
    };
    const int parsed = orvanta::cli::Parse(program, orvanta::cli::ArgumentsOf(argc, argv));
    if (parsed >= 0) return parsed;
    for (const Command& command : commands) {
        if (command.app->parsed()) return command.run();
    }
    return kExitUsage;  // require_subcommand has refused this already
}
