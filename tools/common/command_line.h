// The command-line conventions the Qt-free programs (orvanta-query,
// orvanta-card, orvanta-server) share, on top of CLI11: "-h" and "--help"
// print the full usage on standard output and end with status 0; "--version"
// prints "PROGRAM VERSION" the same way; a bad argument prints
// "PROGRAM: what is wrong" and a pointer to --help on standard error and ends
// with status 2. The window keeps the same conventions with
// QCommandLineParser (ui/main.cpp).
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace orvanta {
namespace cli {

constexpr int kExitUsage = 2;

// "orvanta-query 1.0.0": the program's name and the project's version.
std::string VersionText(const std::string& program);

// Gives `app` the shared help and version flags and usage layout.
void Configure(CLI::App& app, const std::string& program);

// Parses the arguments after the program name, in order. Returns -1 when the
// program should go on; otherwise the status to end with, its texts already
// printed (0 after --help or --version, kExitUsage after a bad argument).
int Parse(CLI::App& app, const std::vector<std::string>& arguments);

// The words as CLI11's parse() takes them: last first, and "--name=" (an
// empty value) as "--name" followed by an empty word, which CLI11 would
// otherwise take as a name without its value.
std::vector<std::string> ParseOrder(const std::vector<std::string>& arguments);

// Adds the repeatable "--drive L=PATH" option of the programs that read a
// card; each value is checked as the drive map takes it.
CLI::Option* AddDriveOption(CLI::App& app, std::vector<std::string>* drives);

// Prints "PROGRAM: message" and the pointer to --help on standard error and
// returns kExitUsage: for checks made after parsing.
int UsageError(const std::string& program, const std::string& message);

// The arguments after the program name.
std::vector<std::string> ArgumentsOf(int argc, char** argv);

}  // namespace cli
}  // namespace orvanta
