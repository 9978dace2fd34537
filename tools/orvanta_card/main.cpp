// orvanta-card: writes synthetic recorder cards and shows what a card holds.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/orvanta_card/arguments.h"
#include "tools/orvanta_card/commands.h"

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: orvanta-card COMMAND [options]\n"
                 "\n"
                 "commands:\n"
                 "  create IMAGE [options]   write a synthetic recorder card as a sparse image file\n"
                 "  info [--drive L=PATH]... show the card found on the drives: presence, serial,\n"
                 "                           ring bounds, oldest and newest record\n"
                 "  overview [options]       the recording sampled at up to N points as CSV:\n"
                 "                           time, sector and trend values of each record\n"
                 "  events [options]         dips, swells and interruptions of the voltage as CSV\n"
                 "\n"
                 "Run \"orvanta-card COMMAND --help\" for the options of a command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace orvanta::cardtool;
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (command == "create") return RunCreate(args);
    if (command == "info") return RunInfo(args);
    if (command == "overview") return RunOverview(args);
    if (command == "events") return RunEvents(args);
    std::fprintf(stderr, "orvanta-card: unknown command \"%s\"\n\n", command.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
