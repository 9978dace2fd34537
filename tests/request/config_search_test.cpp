// The configuration search: beside the executable, then the user's XDG
// configuration folder (default ~/.config), then the system folder; the first
// file that exists wins, and without any the path beside the executable stays.
#include "request/config_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/test_env.h"

namespace orvanta {
namespace {

using testenv::TempDir;

enum Place { kBeside = 1, kXdg = 2, kHomeConfig = 4, kSystem = 8 };

// A fake file system root with the four places in it.
struct Root {
    TempDir dir;
    std::string Beside() const { return dir / "bin/orvanta-vemlar.ini"; }
    std::string Xdg() const { return dir / "xdg/orvanta/orvanta-vemlar.ini"; }
    std::string HomeConfig() const { return dir / "home/.config/orvanta/orvanta-vemlar.ini"; }
    std::string System() const { return dir / "etc/orvanta/orvanta-vemlar.ini"; }

    void Create(int places) const {
        const std::pair<Place, std::string> all[] = {
            {kBeside, Beside()}, {kXdg, Xdg()}, {kHomeConfig, HomeConfig()}, {kSystem, System()}};
        for (const auto& entry : all) {
            std::filesystem::create_directories(std::filesystem::path(entry.second).parent_path());
            if (places & entry.first) dir.WriteFile(entry.second.substr(dir.Path().size() + 1), "[Common]\n");
        }
    }
    ConfigPlaces Places(bool withXdg) const {
        ConfigPlaces places;
        places.besideExecutable = Beside();
        places.xdgConfigHome = withXdg ? dir / "xdg" : std::string();
        places.home = dir / "home";
        places.systemDir = dir / "etc/orvanta";
        return places;
    }
};

TEST(ConfigSearch, TheFirstFileThatExistsWinsAndWithoutAnyThePathBesideTheExecutableStays) {
    struct Case {
        const char* what;
        int existing;
        bool withXdg;
        std::string (Root::*expected)() const;
        bool found;
    };
    const Case cases[] = {
        {"beside the executable before all others", kBeside | kXdg | kHomeConfig | kSystem, true, &Root::Beside, true},
        {"$XDG_CONFIG_HOME before ~/.config and /etc", kXdg | kHomeConfig | kSystem, true, &Root::Xdg, true},
        {"~/.config without XDG_CONFIG_HOME", kXdg | kHomeConfig | kSystem, false, &Root::HomeConfig, true},
        {"~/.config is not looked at when XDG_CONFIG_HOME is set", kHomeConfig | kSystem, true, &Root::System, true},
        {"the system folder last", kSystem, false, &Root::System, true},
        {"none: the path beside the executable", 0, false, &Root::Beside, false},
        {"none with XDG_CONFIG_HOME", 0, true, &Root::Beside, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Root root;
        root.Create(c.existing);
        const ConfigLookup lookup = LocateConfig(root.Places(c.withXdg));
        EXPECT_EQ(lookup.iniPath, (root.*c.expected)());
        EXPECT_EQ(lookup.found, c.found);
    }
}

TEST(ConfigSearch, CandidatesComeInSearchOrderFollowingTheXdgRules) {
    ConfigPlaces places;
    places.besideExecutable = "/opt/orvanta/bin/orvanta-vemlar.ini";
    places.home = "/home/ann/";
    places.systemDir = "/etc/orvanta";
    const std::vector<std::string> homeDefault = {"/opt/orvanta/bin/orvanta-vemlar.ini",
                                                  "/home/ann/.config/orvanta/orvanta-vemlar.ini",
                                                  "/etc/orvanta/orvanta-vemlar.ini"};
    EXPECT_EQ(ConfigCandidates(places), homeDefault);

    places.xdgConfigHome = "relative/config";  // not absolute: ignored
    EXPECT_EQ(ConfigCandidates(places), homeDefault);

    places.xdgConfigHome = "/srv/cfg/";
    EXPECT_EQ(ConfigCandidates(places)[1], "/srv/cfg/orvanta/orvanta-vemlar.ini");

    // An executable in /etc/orvanta looks there once; without HOME the user
    // folder is left out.
    places.besideExecutable = "/etc/orvanta/orvanta-vemlar.ini";
    places.xdgConfigHome.clear();
    places.home.clear();
    EXPECT_EQ(ConfigCandidates(places), std::vector<std::string>{"/etc/orvanta/orvanta-vemlar.ini"});
}

TEST(ConfigSearch, AFolderNamedLikeTheFileDoesNotCount) {
    Root root;
    root.Create(kSystem);
    std::filesystem::create_directories(root.Beside());
    const ConfigLookup lookup = LocateConfig(root.Places(false));
    EXPECT_EQ(lookup.iniPath, root.System());
}

}  // namespace
}  // namespace orvanta
