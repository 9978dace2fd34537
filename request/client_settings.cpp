#include "request/client_settings.h"

#include <cstring>
#include <vector>

#include "request/ini_reader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace orvanta {
namespace {

#ifdef _WIN32
const char kPathSeparator = '\\';
#else
const char kPathSeparator = '/';
#endif

const char kConfigFileName[] = "orvanta-vemlar.ini";
const char kSection[] = "Common";

// The full path of the running executable, however long; "" when the platform
// does not tell.
std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
#ifdef _WIN32
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return std::string(buffer.data(), n);
#else
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return std::string();
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
#endif
        if (buffer.size() > (1u << 24)) return std::string();
        buffer.resize(buffer.size() * 2);  // the path may have been cut: try again with more room
    }
}

}  // namespace

void StripFileName(char* path) {
    if (path == nullptr) return;
    std::size_t n = std::strlen(path);
    // i is the number of characters that still stay.
    for (std::size_t i = n; i > 0; --i) {
        char c = path[i - 1];
        if (c == ':') {
            path[i] = '\0';
            return;
        }
        if (c == '\\' || c == '/') {
            std::size_t separator = i - 1;
            bool keepSeparator = separator == 0 || path[separator - 1] == ':';
            path[keepSeparator ? i : separator] = '\0';
            return;
        }
    }
    if (n > 0) path[0] = '\0';
}

std::string ConfigPathInDirectoryOf(const std::string& executablePath) {
    std::vector<char> directory(executablePath.begin(), executablePath.end());
    directory.push_back('\0');
    StripFileName(directory.data());
    std::string result(directory.data());
    result += kPathSeparator;
    result += kConfigFileName;
    return result;
}

std::string ConfigPathBesideExecutable() { return ConfigPathInDirectoryOf(ExecutablePath()); }

void ReadClientSettings(const std::string& iniPath, ClientSettings* settings) {
    if (settings == nullptr) return;
    std::memset(settings, 0, sizeof(*settings));
    ReadIniString(kSection, "installPath", "", settings->installPath, 127, iniPath);
    ReadIniString(kSection, "vemlarExePath", "", settings->vemlarExePath, 63, iniPath);
    ReadIniString(kSection, "serverBaseUrl", "", settings->serverBaseUrl, 127, iniPath);
    ReadIniString(kSection, "userID", "111", settings->userID, 36, iniPath);
    ReadIniString(kSection, "password", "trelmoza", settings->password, 200, iniPath);
}

namespace {

bool HasLineBreak(const char* value) { return std::strpbrk(value, "\r\n") != nullptr; }

bool HasControlCharacter(const char* value) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p != 0; ++p) {
        if (*p < 0x20 || *p == 0x7F) return true;
    }
    return false;
}

}  // namespace

const char* UnsafeSettingKey(const ClientSettings& settings) {
    if (HasControlCharacter(settings.serverBaseUrl)) return "serverBaseUrl";
    if (HasLineBreak(settings.userID)) return "userID";
    if (HasLineBreak(settings.password)) return "password";
    return nullptr;
}

}  // namespace orvanta
