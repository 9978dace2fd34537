// Where the client finds orvanta-vemlar.ini. Beside the executable first (a
// copied or portable installation keeps its own file), then the user's
// configuration folder, then the system's. On Windows only the place beside
// the executable is searched.
#pragma once

#include <string>
#include <vector>

namespace orvanta {

// The places to look in, as the environment names them.
struct ConfigPlaces {
    std::string besideExecutable;  // the file beside the running executable
    std::string xdgConfigHome;     // $XDG_CONFIG_HOME; used only when absolute
    std::string home;              // $HOME; gives ~/.config without XDG_CONFIG_HOME
    std::string systemDir;         // the system's folder, normally /etc/orvanta
};

struct ConfigLookup {
    // The file to read: the first candidate that exists, or the file beside
    // the executable when none does.
    std::string iniPath;
    // True when iniPath exists.
    bool found = false;
    // Every path looked at, in search order.
    std::vector<std::string> candidates;
};

// The candidate files, in search order, without duplicates.
std::vector<std::string> ConfigCandidates(const ConfigPlaces& places);

// Picks the first candidate that exists as a file.
ConfigLookup LocateConfig(const ConfigPlaces& places);

// A file named outright (a --config option, a test): the only candidate.
ConfigLookup ConfigAt(const std::string& path);

// The places of this process: beside /proc/self/exe (GetModuleFileNameA on
// Windows), $XDG_CONFIG_HOME, $HOME and /etc/orvanta.
ConfigPlaces ProcessConfigPlaces();

// LocateConfig(ProcessConfigPlaces()): what the window and orvanta-query use.
ConfigLookup FindClientConfig();

}  // namespace orvanta
