#include "request/config_search.h"

#include <algorithm>
#include <cstdlib>

#include <sys/stat.h>

#include "request/client_settings.h"

namespace orvanta {
namespace {

#ifndef _WIN32
const char kFileName[] = "orvanta-vemlar.ini";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string Joined(std::string directory, const char* name) {
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    if (directory != "/") directory += '/';
    return directory + name;
}
#endif

// Exists and is something a file can be read from (not a folder).
bool FileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> ConfigCandidates(const ConfigPlaces& places) {
    std::vector<std::string> candidates;
    auto add = [&candidates](const std::string& path) {
        if (!path.empty() && std::find(candidates.begin(), candidates.end(), path) == candidates.end()) {
            candidates.push_back(path);
        }
    };
    add(places.besideExecutable);
#ifndef _WIN32
    // The XDG base directory rules: a relative $XDG_CONFIG_HOME is ignored,
    // and without it the user's folder is ~/.config.
    std::string userConfig;
    if (IsAbsolute(places.xdgConfigHome)) {
        userConfig = places.xdgConfigHome;
    } else if (IsAbsolute(places.home)) {
        userConfig = Joined(places.home, ".config");
    }
    if (!userConfig.empty()) add(Joined(Joined(userConfig, "orvanta"), kFileName));
    if (!places.systemDir.empty()) add(Joined(places.systemDir, kFileName));
#endif
    return candidates;
}

ConfigLookup LocateConfig(const ConfigPlaces& places) {
    ConfigLookup lookup;
    lookup.candidates = ConfigCandidates(places);
    lookup.iniPath = places.besideExecutable;
    for (const std::string& candidate : lookup.candidates) {
        if (FileExists(candidate)) {
            lookup.iniPath = candidate;
            lookup.found = true;
            break;
        }
    }
    return lookup;
}

ConfigLookup ConfigAt(const std::string& path) {
    ConfigLookup lookup;
    lookup.iniPath = path;
    lookup.found = FileExists(path);
    lookup.candidates.push_back(path);
    return lookup;
}

ConfigPlaces ProcessConfigPlaces() {
    ConfigPlaces places;
    places.besideExecutable = ConfigPathBesideExecutable();
#ifndef _WIN32
    places.xdgConfigHome = Environment("XDG_CONFIG_HOME");
    places.home = Environment("HOME");
    places.systemDir = "/etc/orvanta";
#endif
    return places;
}

ConfigLookup FindClientConfig() { return LocateConfig(ProcessConfigPlaces()); }

}  // namespace orvanta
