#include "request/client_settings.h"

#include <cstring>
#include <vector>

#include "card/event_detector.h"
#include "platform/executable_path.h"
#include "request/ini_reader.h"
#include "request/profile_string.h"

namespace orvanta {
namespace {

#ifdef _WIN32
const char kPathSeparator = '\\';
#else
const char kPathSeparator = '/';
#endif

const char kConfigFileName[] = "orvanta-vemlar.ini";
const char kSection[] = "Common";

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
    ReadProfileString(kSection, "installPath", "", settings->installPath, 127, iniPath);
    ReadProfileString(kSection, "vemlarExePath", "", settings->vemlarExePath, 63, iniPath);
    ReadProfileString(kSection, "serverBaseUrl", "", settings->serverBaseUrl, 127, iniPath);
    ReadProfileString(kSection, "userID", "111", settings->userID, 36, iniPath);
    ReadProfileString(kSection, "password", "trelmoza", settings->password, 200, iniPath);
}

bool ParseNominalVolts(const std::string& text, std::int32_t* volts) {
    if (text.empty() || text.size() > 7) return false;
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMaxNominalVolts) return false;
    *volts = value;
    return true;
}

std::int32_t ReadNominalVoltage(const std::string& iniPath) {
    char value[16];
    ReadProfileString(kSection, "nominalVoltage", "", value, sizeof value, iniPath);
    std::int32_t volts = kDefaultNominalVolts;
    return ParseNominalVolts(value, &volts) ? volts : kDefaultNominalVolts;
}

bool ParseNominalFrequency(const std::string& text, int* hertz) {
    if (text != "50" && text != "60") return false;
    *hertz = text == "50" ? 50 : 60;
    return true;
}

int ReadNominalFrequency(const std::string& iniPath) {
    char value[16];
    ReadProfileString(kSection, "nominalFrequency", "", value, sizeof value, iniPath);
    int hertz = kDefaultNominalFrequency;
    return ParseNominalFrequency(value, &hertz) ? hertz : kDefaultNominalFrequency;
}

namespace {

bool HasControlCharacter(const char* value, bool tabAllowed) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p != 0; ++p) {
        if (*p == '\t' && tabAllowed) continue;
        if (*p < 0x20 || *p == 0x7F) return true;
    }
    return false;
}

const char* const kCheckedKeys[] = {"serverBaseUrl", "userID", "password"};

}  // namespace

const char* UnsafeSettingKey(const ClientSettings& settings) {
    if (HasControlCharacter(settings.serverBaseUrl, false)) return kCheckedKeys[0];
    if (HasControlCharacter(settings.userID, true)) return kCheckedKeys[1];
    if (HasControlCharacter(settings.password, true)) return kCheckedKeys[2];
    return nullptr;
}

const char* KeyHoldingNul(const std::string& iniContents) {
    for (const char* key : kCheckedKeys) {
        std::string value;
        if (FindIniValue(iniContents, kSection, key, &value) && value.find('\0') != std::string::npos) return key;
    }
    return nullptr;
}

}  // namespace orvanta
