// The drive map: "L=PATH" arguments, resolution of "\\.\X:" device paths,
// and the detection of removable media in a sysfs tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/drive_map.h"
#include "platform/redetecting_volumes.h"
#include "tests/platform/platform_test_support.h"

namespace orvanta {
namespace {

using platformtest::MakeDirectories;
using platformtest::TempDir;
using platformtest::WriteFile;

TEST(DriveMapArgument, AcceptsLetterAndPathAndRejectsMalformedArguments) {
    struct Case {
        const char* argument;
        bool ok;
        char letter;
        const char* path;
        const char* errorMentions;  // for rejected arguments
    };
    const Case cases[] = {
        {"E=/dev/sdb1", true, 'E', "/dev/sdb1", nullptr},
        {"e=card.img", true, 'E', "card.img", nullptr},
        {"d=/dev/sda", true, 'D', "/dev/sda", nullptr},
        {"A=/dev/sda", false, 0, nullptr, "D to Z"},
        {"c=/dev/sda", false, 0, nullptr, "D to Z"},
        {"z=/x", true, 'Z', "/x", nullptr},
        {"E=a=b", true, 'E', "a=b", nullptr},
        {"E= spaced name", true, 'E', " spaced name", nullptr},
        {"E=", false, 0, nullptr, "empty"},
        {"=card.img", false, 0, nullptr, "L=PATH"},
        {"E", false, 0, nullptr, "L=PATH"},
        {"", false, 0, nullptr, "L=PATH"},
        {"EE=card.img", false, 0, nullptr, "L=PATH"},
        {"E:card.img", false, 0, nullptr, "L=PATH"},
        {"1=card.img", false, 0, nullptr, "D to Z"},
        {"[=card.img", false, 0, nullptr, "D to Z"},
        {"@=card.img", false, 0, nullptr, "D to Z"},
        {"\xC3\x89=card.img", false, 0, nullptr, "L=PATH"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("argument \"") + c.argument + "\"");
        DriveMap map;
        std::string error;
        EXPECT_EQ(map.AddArgument(c.argument, &error), c.ok);
        if (c.ok) {
            EXPECT_TRUE(error.empty());
            ASSERT_EQ(map.Entries().size(), 1u);
            EXPECT_EQ(map.PathOf(c.letter), c.path);
        } else {
            EXPECT_TRUE(map.Empty());
            EXPECT_NE(error.find(c.errorMentions), std::string::npos) << error;
            EXPECT_NE(error.find(std::string("\"") + c.argument + "\""), std::string::npos) << error;
        }
    }
}

TEST(DriveMapArgument, LaterEntryForTheSameLetterWins) {
    DriveMap map;
    std::string error;
    ASSERT_TRUE(map.AddArgument("E=first.img", &error));
    ASSERT_TRUE(map.AddArgument("e=second.img", &error));
    EXPECT_EQ(map.Entries().size(), 1u);
    EXPECT_EQ(map.PathOf('E'), "second.img");
}

TEST(DriveMapResolve, OnlyExactSixCharacterDevicePathsOfMappedLettersResolve) {
    DriveMap map;
    map.Set('A', "/dev/a");
    map.Set('E', "/images/card.img");
    map.Set('Z', "/dev/z");
    struct Case {
        const char* devicePath;
        const char* expected;
    };
    const Case cases[] = {
        {"\\\\.\\E:", "/images/card.img"},
        {"\\\\.\\A:", "/dev/a"},
        {"\\\\.\\Z:", "/dev/z"},
        {"\\\\.\\D:", ""},          // unmapped letter
        {"\\\\.\\[:", ""},          // the character after Z names nothing
        {"\\\\.\\e:", ""},          // letters are upper case
        {"\\\\.\\E:\\", ""},        // seven characters
        {"\\\\.\\E", ""},           // five characters
        {"\\\\.\\EE:", ""},
        {"//./E:", ""},
        {"\\\\?\\E:", ""},
        {"\\\\.\\E;", ""},
        {"E:", ""},
        {"/images/card.img", ""},   // a path is not a device name
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("device path \"") + c.devicePath + "\"");
        const std::string* resolved = map.Resolve(c.devicePath);
        EXPECT_EQ(resolved != nullptr ? *resolved : std::string(), c.expected);
    }
    EXPECT_EQ(map.Resolve(nullptr), nullptr);
}

TEST(DriveMapFromArguments, ArgumentsAloneMakeTheMap) {
    DriveMap map;
    std::string error;
    ASSERT_TRUE(DriveMap::FromArguments({"E=card.img", "g=/dev/sdc1"}, &map, &error));
    ASSERT_EQ(map.Entries().size(), 2u);
    EXPECT_EQ(map.PathOf('E'), "card.img");
    EXPECT_EQ(map.PathOf('G'), "/dev/sdc1");
}

TEST(DriveMapFromArguments, MalformedArgumentFailsAndLeavesTheMapAlone) {
    DriveMap map;
    map.Set('Q', "kept.img");
    std::string error;
    EXPECT_FALSE(DriveMap::FromArguments({"E=card.img", "F="}, &map, &error));
    EXPECT_NE(error.find("\"F=\""), std::string::npos) << error;
    ASSERT_EQ(map.Entries().size(), 1u);
    EXPECT_EQ(map.PathOf('Q'), "kept.img");
}

TEST(DriveMapFromArguments, WithoutArgumentsTheDetectedMediaAreUsed) {
    DriveMap map;
    map.Set('Q', "stale.img");
    std::string error;
    ASSERT_TRUE(DriveMap::FromArguments({}, &map, &error));
    EXPECT_EQ(map.Entries(), DriveMap::DetectRemovable().Entries());
}

// A fake sysfs tree: disks under <root>/block, each with its attributes.
class FakeSysfs {
public:
    explicit FakeSysfs(const std::string& root) : root_(root) { MakeDirectories(root_ + "/block"); }

    // A whole disk. `removable` is the content of its removable file ("" for
    // none); `type` that of device/type ("" for none).
    std::string Disk(const std::string& name, const std::string& removable, const std::string& type = "") {
        std::string dir = root_ + "/block/" + name;
        MakeDirectories(dir + "/queue");  // attribute folders without a partition file
        MakeDirectories(dir + "/holders");
        WriteFile(dir + "/size", "62333952\n");
        if (!removable.empty()) WriteFile(dir + "/removable", removable + "\n");
        if (!type.empty()) WriteFile(dir + "/device/type", type + "\n");
        return dir;
    }

    void Partition(const std::string& disk, const std::string& name) {
        std::string dir = root_ + "/block/" + disk + "/" + name;
        WriteFile(dir + "/partition", name.substr(name.find_last_not_of("0123456789") + 1) + "\n");
        WriteFile(dir + "/size", "2048\n");
    }

    // A disk whose entry under block/ is a symbolic link into devices/, as in
    // the real sysfs.
    void LinkedDisk(const std::string& name, const std::string& removable) {
        std::string real = root_ + "/devices/platform/usb1/" + name;
        MakeDirectories(real);
        WriteFile(real + "/removable", removable + "\n");
        std::filesystem::create_directory_symlink(real, root_ + "/block/" + name);
    }

private:
    std::string root_;
};

TEST(DriveMapDetect, RemovableDisksAndSdCardsGetLettersFromDInNameOrderButNeverEmmc) {
    TempDir temp;
    FakeSysfs sys(temp / "sys");
    // A fixed disk with a partition: not a card reader.
    sys.Disk("sda", "0");
    sys.Partition("sda", "sda1");
    // A USB card reader with a card of three partitions (names sort by value).
    sys.Disk("sdb", "1");
    sys.Partition("sdb", "sdb10");
    sys.Partition("sdb", "sdb2");
    sys.Partition("sdb", "sdb1");
    // A removable disk without partitions: the disk itself.
    sys.Disk("sdc", "1");
    // An SD slot whose card calls itself fixed.
    sys.Disk("mmcblk0", "0", "SD");
    sys.Partition("mmcblk0", "mmcblk0p1");
    sys.Disk("sdd", "0", "SD");
    // A built-in eMMC system disk with its boot areas: never a card, even
    // where it claims to be removable.
    sys.Disk("mmcblk1", "0", "MMC");
    sys.Partition("mmcblk1", "mmcblk1p1");
    sys.Partition("mmcblk1", "mmcblk1p2");
    sys.Disk("mmcblk1boot0", "0", "MMC");
    sys.Disk("mmcblk1boot1", "0");
    sys.Disk("mmcblk2rpmb", "1");
    sys.Disk("sde", "1", "MMC");
    sys.Disk("mmcblk3", "0");  // an MMC host without a type: not removable, not a card
    sys.Disk("sdf", "0", "0");  // a SCSI device type: fixed
    // Virtual devices are never cards, removable or not.
    sys.Disk("loop0", "1");
    sys.Disk("loop12", "1");
    sys.Disk("ram0", "1");
    sys.Disk("zram0", "1");
    sys.Disk("dm-0", "1");
    sys.Disk("nvme0n1", "0");
    sys.Disk("sr0", "");  // no removable file at all
    sys.LinkedDisk("sdg", "1");

    DriveMap map = DriveMap::DetectRemovable(temp / "sys", "/dev");
    const std::vector<std::pair<char, std::string>> expected = {
        {'D', "/dev/mmcblk0p1"}, {'E', "/dev/sdb1"}, {'F', "/dev/sdb2"}, {'G', "/dev/sdb10"},
        {'H', "/dev/sdc"},       {'I', "/dev/sdd"},  {'J', "/dev/sdg"},
    };
    std::vector<std::pair<char, std::string>> actual(map.Entries().begin(), map.Entries().end());
    EXPECT_EQ(actual, expected);
}

TEST(DriveMapDetect, DeviceNodesLieUnderTheGivenDevRoot) {
    TempDir temp;
    FakeSysfs sys(temp / "sys");
    sys.Disk("sdb", "1");
    sys.Partition("sdb", "sdb1");
    DriveMap map = DriveMap::DetectRemovable(temp / "sys", temp / "dev");
    ASSERT_EQ(map.Entries().size(), 1u);
    EXPECT_EQ(map.PathOf('D'), temp / "dev/sdb1");
}

TEST(DriveMapDetect, LettersEndAtZ) {
    TempDir temp;
    FakeSysfs sys(temp / "sys");
    for (int i = 0; i < 30; ++i) sys.Disk("sdz" + std::to_string(i), "1");
    DriveMap map = DriveMap::DetectRemovable(temp / "sys", "/dev");
    ASSERT_EQ(map.Entries().size(), 23u);  // D to Z
    EXPECT_EQ(map.PathOf('D'), "/dev/sdz0");
    EXPECT_EQ(map.PathOf('M'), "/dev/sdz9");
    EXPECT_EQ(map.PathOf('N'), "/dev/sdz10");
    EXPECT_EQ(map.PathOf('Z'), "/dev/sdz22");
}

TEST(DriveMapDetect, NoMediaOrNoSysfsGivesAnEmptyMap) {
    TempDir temp;
    FakeSysfs sys(temp / "sys");
    sys.Disk("sda", "0");
    sys.Disk("loop0", "1");
    EXPECT_TRUE(DriveMap::DetectRemovable(temp / "sys", "/dev").Empty());
    EXPECT_TRUE(DriveMap::DetectRemovable(temp / "missing", "/dev").Empty());
}

}  // namespace
}  // namespace orvanta

namespace orvanta {
namespace {

// The removable media found again: a letter that named nothing at start
// opens once a detection maps it, and stops opening when it goes away.
TEST(RedetectingVolumes, EachDetectionReplacesTheMap) {
    platformtest::TempDir dir;
    const std::string card = dir.WriteFile("card.img", std::string(1024, 'x'));
    std::vector<DriveMap> detections(3);
    detections[1].Set('E', card);
    std::size_t next = 0;
    CRedetectingVolumes volumes([&] { return detections[next++]; });
    const bool opensAfter[] = {false, true, false};
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) volumes.Redetect();
        EXPECT_EQ(static_cast<bool>(volumes.Open("\\\\.\\E:")), opensAfter[i]) << i;
        EXPECT_EQ(volumes.Map().PathOf('E'), detections[i].PathOf('E')) << i;
    }
}

}  // namespace
}  // namespace orvanta
