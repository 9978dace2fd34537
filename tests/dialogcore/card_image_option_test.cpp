// orvanta-client --image FILE: the image becomes drive E: among the --drive
// arguments (refused when one names E: already), and the title names it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogcore/card_image_option.h"
#include "platform/drive_map.h"

namespace orvanta {
namespace {

TEST(CardImageOption, TakesTheImageAsDriveEUnlessEIsTaken) {
    const struct {
        std::vector<std::string> drives;
        const char* image;
        bool taken;
    } cases[] = {
        {{}, "rec.img", true},
        {{"F=/dev/sdb1"}, "/data/rec.img", true},
        {{"E=/dev/sdb1"}, "rec.img", false},
        {{"e=card.img"}, "rec.img", false},
        {{}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        std::vector<std::string> drives = c.drives;
        std::string error;
        EXPECT_EQ(AddCardImageDrive(c.image, &drives, &error), c.taken);
        if (!c.taken) {
            EXPECT_NE(error, "");
            EXPECT_EQ(drives, c.drives);
            continue;
        }
        ASSERT_EQ(drives.size(), c.drives.size() + 1);
        EXPECT_EQ(drives.back(), std::string("E=") + c.image);
#ifndef _WIN32  // Windows has no drive map: its drive letters are the system's
        DriveMap map;
        ASSERT_TRUE(DriveMap::FromArguments(drives, &map, &error)) << error;
        EXPECT_EQ(map.PathOf('E'), c.image);
#endif
    }
}

TEST(CardImageOption, TitleNamesTheImageFile) {
    EXPECT_EQ(TitleWithCardImage("Vemlar", "/home/x/rec 1.img"), "Vemlar - rec 1.img");
    EXPECT_EQ(TitleWithCardImage("Vemlar", "C:\\cards\\rec.img"), "Vemlar - rec.img");
    EXPECT_EQ(TitleWithCardImage("Vemlar", "rec.img"), "Vemlar - rec.img");
}

}  // namespace
}  // namespace orvanta
