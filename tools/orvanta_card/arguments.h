// Strict unsigned numbers for the options of orvanta-card: decimal, or
// hexadecimal with "0x", and comma-separated lists of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {
namespace cardtool {

// A decimal number, or hexadecimal with "0x", from 0 to `max`; nothing else
// (no sign, no blanks, no trailing characters).
bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t* value);

// A comma-separated list of such numbers, at least one.
bool ParseUnsignedList(const std::string& text, std::uint64_t max, std::vector<std::uint32_t>* values);

}  // namespace cardtool
}  // namespace orvanta
