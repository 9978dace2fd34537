// Where the window and orvanta-query take their calibration ratios from:
// ratio.txt of the working directory, else the one beside the configuration
// file that was found, else none (both ratios 1.0).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/memory_volume.h"
#include "request/ratio_search.h"
#include "tests/card/card_fixture_support.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

TEST(RatioSearch, WorkingDirectoryFirstThenBesideTheConfigurationFile) {
    const struct {
        const char* name;
        const char* working;  // ratio.txt of the working directory (null: none)
        const char* beside;   // ratio.txt beside the configuration file (null: none)
        bool configFound;
        const char* used;     // "working", "beside" or "" (none)
        double ratioA, ratioB;
    } cases[] = {
        {"both: the working directory's", "1.5 0.5\n", "2.0 3.0\n", true, "working", 1.5, 0.5},
        {"beside the configuration file", nullptr, "2.0 3.0\n", true, "beside", 2.0, 3.0},
        {"no configuration file found", nullptr, "2.0 3.0\n", false, "", 1.0, 1.0},
        {"neither", nullptr, nullptr, true, "", 1.0, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cardtest::ScopedTempWorkDir work;
        testenv::TempDir configDir;
        if (c.working != nullptr) work.WriteFile("ratio.txt", c.working);
        const std::filesystem::path beside = std::filesystem::path(configDir.Path()) / "ratio.txt";
        if (c.beside != nullptr) std::ofstream(beside) << c.beside;
        ConfigLookup config;
        config.iniPath = (std::filesystem::path(configDir.Path()) / "orvanta-vemlar.ini").string();
        config.found = c.configFound;

        MemoryVolumeSystem volumes;
        CCardReader reader(volumes);  // reads the working directory's ratio.txt
        const std::string used = UseRatioFile(reader, config);
        const std::string expected = std::string(c.used) == "working"
                                         ? (std::filesystem::path(work.Path()) / "ratio.txt").string()
                                         : std::string(c.used) == "beside" ? beside.string() : std::string();
        EXPECT_EQ(std::filesystem::path(used).lexically_normal(), std::filesystem::path(expected).lexically_normal());
        EXPECT_DOUBLE_EQ(reader.ratioA, c.ratioA);
        EXPECT_DOUBLE_EQ(reader.ratioB, c.ratioB);
    }
}

}  // namespace
}  // namespace orvanta
