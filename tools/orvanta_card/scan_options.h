// The options that the scanning commands (events, analyse, report) read
// alike: the time range --from/--to, the harmonic orders --orders and the
// nominal voltage --nominal (default: the configuration file's).
// Each returns kExitOk when the option is sound (or absent), else the usage
// error's exit status after saying why.
#pragma once

#include <cstdint>
#include <string>

#include "card/ring_range.h"
#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {

int ReadRangeOptions(const Command& command, const std::string& from, const std::string& to, TimeRange* range);
int ReadOrdersOption(const Command& command, const std::string& orders, int* value);
int ReadNominalOption(const Command& command, const std::string& nominal, std::int32_t* volts);

}  // namespace cardtool
}  // namespace orvanta
