// orvanta-settings-dump FILE...: for each INI file, one line with the file name
// and the serverBaseUrl, userID and password that ReadClientSettings gives
// (cut at their read limits), each as hexadecimal bytes. Built for Linux (our
// own INI reader) and for Windows (GetPrivateProfileStringA), so that the two
// can be compared over many files in one run each.
#include <cstdio>
#include <cstring>
#include <string>

#include "request/client_settings.h"

namespace {

std::string Hex(const char* field, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < size && field[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(field[i]);
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        orvanta::ClientSettings settings;
        orvanta::ReadClientSettings(argv[i], &settings);
        std::printf("%s %s %s %s\n", BaseName(argv[i]).c_str(),
                    Hex(settings.serverBaseUrl, sizeof settings.serverBaseUrl).c_str(),
                    Hex(settings.userID, sizeof settings.userID).c_str(),
                    Hex(settings.password, sizeof settings.password).c_str());
    }
    return 0;
}
