// Command-line helpers of orvanta-card: options with values ("--name VALUE"
// or "--name=VALUE") and strict unsigned numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {
namespace cardtool {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

enum class OptionMatch { kNo, kYes, kMissingValue };

// Matches args[*index] against the option `name` ("--records"). On a match
// the value is stored and *index points at the last word consumed.
OptionMatch TakeOptionValue(const std::vector<std::string>& args, std::size_t* index, const std::string& name,
                            std::string* value);

// A decimal number, or hexadecimal with "0x", from 0 to `max`; nothing else
// (no sign, no blanks, no trailing characters).
bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t* value);

// A comma-separated list of such numbers, at least one.
bool ParseUnsignedList(const std::string& text, std::uint64_t max, std::vector<std::uint32_t>* values);

}  // namespace cardtool
}  // namespace orvanta
