// On Windows the INI values come from GetPrivateProfileStringA. The API looks
// for a file name without a folder in the Windows directory; the client means
// its own folder or the working directory, so the path is made absolute first.
#include "request/profile_string.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>
#include <cstring>
#include <vector>

namespace orvanta {
namespace {

std::string AbsolutePath(const std::string& path) {
    DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<char> buffer(needed + 1);
    DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n == 0 || n >= buffer.size()) return path;
    return std::string(buffer.data(), n);
}

}  // namespace

std::size_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* out,
                              std::size_t limit, const std::string& path) {
    if (out == nullptr || limit == 0) return 0;
    const char* fallback = defaultValue != nullptr ? defaultValue : "";
    if (path.empty() || limit > UINT_MAX) {
        std::size_t length = std::strlen(fallback);
        if (length > limit - 1) length = limit - 1;
        std::memcpy(out, fallback, length);
        out[length] = '\0';
        return length;
    }
    const std::string file = AbsolutePath(path);
    return ::GetPrivateProfileStringA(section, key, fallback, out, static_cast<DWORD>(limit), file.c_str());
}

}  // namespace orvanta
