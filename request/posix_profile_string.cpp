// On Linux the INI values come from our own reader.
#include "request/profile_string.h"

#include "request/ini_reader.h"

namespace orvanta {

std::size_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                              std::size_t limit, const std::string& path) {
    return ReadIniString(section, key, defaultValue, out, limit, path);
}

}  // namespace orvanta
