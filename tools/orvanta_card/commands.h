// The subcommands of orvanta-card. Each takes the words after its name and
// returns the exit status.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace orvanta {
namespace cardtool {

int RunCreate(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunOverview(const std::vector<std::string>& args);
int RunEvents(const std::vector<std::string>& args);

void PrintCreateUsage(std::FILE* out);
void PrintInfoUsage(std::FILE* out);
void PrintOverviewUsage(std::FILE* out);
void PrintEventsUsage(std::FILE* out);

}  // namespace cardtool
}  // namespace orvanta
