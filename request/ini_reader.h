// A reader of INI files in the shape of GetPrivateProfileStringA: one value of
// one key of one section, or the default, copied into a caller's buffer.
//
// Format: "[Section]" header lines and "key = value" lines; a line that opens
// a section without closing its bracket is no header, so the lines after it
// stay in the section before. Section and key
// names match case-insensitively; blanks (spaces, tabs) around names and
// values are trimmed; a value enclosed in a matching pair of double or single
// quotes loses them; lines whose first non-blank character is ';' are
// comments; LF and CRLF line ends; a UTF-8 byte-order mark is skipped. The
// first section with the name is the one searched, and in it the first line
// with the key wins. Lines of any length are read.
#pragma once

#include <cstddef>
#include <string>

namespace orvanta {

// Looks the key up in INI text. Returns true and sets *value when found.
bool FindIniValue(const std::string& contents, const char* section, const char* key, std::string* value);

// Copies the value of `key` in `section` of the file at `path` into `out`, or
// `defaultValue` (null counts as "") when the file, the section or the key is
// missing. At most limit - 1 characters are copied and `out` is always
// NUL-terminated (nothing is written when limit is 0). Returns the number of
// characters copied, terminator excluded.
std::size_t ReadIniString(const char* section, const char* key, const char* defaultValue, char* out,
                          std::size_t limit, const std::string& path);

}  // namespace orvanta
