// The options that the scanning commands (events, analyse, report) read
// alike besides their time range (command_support.h): the harmonic orders
// --orders and the nominal voltage --nominal (default: the configuration
// file's).
// Each returns kExitOk when the option is sound (or absent), else the usage
// error's exit status after saying why.
#pragma once

#include <cstdint>
#include <string>

#include "tools/orvanta_card/commands.h"

namespace orvanta {
namespace cardtool {

int ReadOrdersOption(const Command& command, const std::string& orders, int* value);
int ReadNominalOption(const Command& command, const std::string& nominal, std::int32_t* volts);

}  // namespace cardtool
}  // namespace orvanta
