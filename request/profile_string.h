// Reading one value of an INI file the way the platform does it: on Windows
// the system's GetPrivateProfileStringA itself, on Linux our own reader of
// the same format (ini_reader.h).
#pragma once

#include <cstddef>
#include <string>

namespace orvanta {

// Copies the value of `key` in `section` of the file at `path` into `out`, or
// `defaultValue` when the file, the section or the key is missing; at most
// limit - 1 characters, always NUL-terminated (nothing is written when limit
// is 0). Returns the number of characters copied.
std::size_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                              std::size_t limit, const std::string& path);

}  // namespace orvanta
