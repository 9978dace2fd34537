// Linux only: on Windows the file beside the executable is the only place.
// The configuration search: beside the executable, then the user's XDG
// configuration folder (default ~/.config), then the system folder; the first
// file that exists wins, and without any the path beside the executable stays.
#include "request/config_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/common/test_env.h"

namespace orvanta {
namespace {

enum Place { kNone = 0, kBeside = 1, kXdg = 2, kHomeConfig = 4, kSystem = 8, kBesideIsAFolder = 16 };

TEST(ConfigSearch, TheFirstFileThatExistsWinsAndWithoutAnyThePathBesideTheExecutableStays) {
    const struct {
        const char* what;
        int existing;
        const char* xdgConfigHome;  // below the scratch root when it starts with '/'; nullptr: unset
        Place chosen;
    } cases[] = {
        {"beside the executable first", kBeside | kXdg | kHomeConfig | kSystem, "/xdg", kBeside},
        {"then $XDG_CONFIG_HOME/orvanta", kXdg | kHomeConfig | kSystem, "/xdg", kXdg},
        {"~/.config/orvanta without XDG_CONFIG_HOME", kXdg | kHomeConfig | kSystem, nullptr, kHomeConfig},
        {"a relative XDG_CONFIG_HOME is ignored", kXdg | kHomeConfig, "xdg", kHomeConfig},
        {"~/.config is not looked at when XDG_CONFIG_HOME is set", kHomeConfig | kSystem, "/xdg", kSystem},
        {"the system folder last", kSystem, nullptr, kSystem},
        {"a folder named like the file does not count", kBesideIsAFolder | kSystem, nullptr, kSystem},
        {"none: the path beside the executable", kNone, "/xdg", kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testenv::TempDir root;
        const std::pair<Place, std::string> paths[] = {
            {kBeside, root / "bin/orvanta-vemlar.ini"},
            {kXdg, root / "xdg/orvanta/orvanta-vemlar.ini"},
            {kHomeConfig, root / "home/.config/orvanta/orvanta-vemlar.ini"},
            {kSystem, root / "etc/orvanta/orvanta-vemlar.ini"}};
        for (const auto& [place, path] : paths) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            if (c.existing & place) root.WriteFile(path.substr(root.Path().size() + 1), "[Common]\n");
        }
        if (c.existing & kBesideIsAFolder) std::filesystem::create_directories(paths[0].second);

        ConfigPlaces places;
        places.besideExecutable = paths[0].second;
        if (c.xdgConfigHome != nullptr) {
            places.xdgConfigHome = c.xdgConfigHome[0] == '/' ? root.Path() + c.xdgConfigHome : c.xdgConfigHome;
        }
        places.home = root / "home";
        places.systemDir = root / "etc/orvanta";
        const ConfigLookup lookup = LocateConfig(places);

        std::string expected = paths[0].second;
        for (const auto& [place, path] : paths) {
            if (place == c.chosen) expected = path;
        }
        EXPECT_EQ(lookup.iniPath, expected);
        EXPECT_EQ(lookup.found, c.chosen != kNone);
        EXPECT_EQ(lookup.candidates.front(), paths[0].second);
        EXPECT_EQ(lookup.candidates.back(), paths[3].second);
    }
}

}  // namespace
}  // namespace orvanta
