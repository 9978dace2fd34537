// What a volume's failure says to the person at the machine, in both
// languages: the cause, the operating system's words and what to do.
#include "platform/volume_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

namespace orvanta {
namespace {

TEST(VolumeCauseText, NamesTheCauseTheOsErrorAndTheRemedyInBothLanguages) {
    const struct {
        VolumeStatus status;
        const char* english;
        const char* chinese;
    } cases[] = {
#ifdef _WIN32
        {{VolumeCause::kNoPermission, 5},
         "no permission to read /dev/sdb1 (access is denied): run the program as an administrator",
         "无权读取 /dev/sdb1（拒绝访问）：请以管理员身份运行本程序"},
        {{VolumeCause::kNotFound, 2}, "/dev/sdb1 not found (the system cannot find the file specified): ",
         "找不到 /dev/sdb1（系统找不到指定的文件）："},
#else
        {{VolumeCause::kNoPermission, EACCES},
         "no permission to read /dev/sdb1 (permission denied): add the user to the plugdev group",
         "无权读取 /dev/sdb1（权限不足）：请把用户加入 plugdev 组"},
        {{VolumeCause::kNotFound, ENOENT},
         "/dev/sdb1 not found (no such file or directory): check the --drive mapping",
         "找不到 /dev/sdb1（没有那个文件或目录）：请检查 --drive 映射"},
#endif
        {{VolumeCause::kNotFound, 0}, "/dev/sdb1 not found: ", "找不到 /dev/sdb1："},
        {{VolumeCause::kNotCardDevice, 0}, "/dev/sdb1 is not a card device: map a block device or a card image file",
         "/dev/sdb1 不是存储卡设备：请映射块设备或存储卡映像文件"},
        {{VolumeCause::kIoError, 5}, "I/O error reading /dev/sdb1 (", "读取 /dev/sdb1 时出现输入/输出错误（"},
        {{VolumeCause::kShortRead, 0}, "short read from /dev/sdb1: the device ends before",
         "从 /dev/sdb1 读到的数据不足：设备在"},
        {{VolumeCause::kOk, 0}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.english);
        const std::string english = VolumeCauseText(c.status, "/dev/sdb1", TextLanguage::kEnglish);
        const std::string chinese = VolumeCauseText(c.status, "/dev/sdb1", TextLanguage::kChinese);
        EXPECT_EQ(english.rfind(c.english, 0), 0u) << english;
        EXPECT_EQ(chinese.rfind(c.chinese, 0), 0u) << chinese;
        EXPECT_EQ(english.empty(), c.status.Ok());
    }
#ifndef _WIN32
    // The advice follows the kind of the path: an image file's permissions,
    // a card reader's group.
    const std::string image = testing::TempDir() + "volume_error_image.img";
    std::FILE* file = std::fopen(image.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const struct {
        std::string path;
        const char* english;
        const char* chinese;
    } kinds[] = {
        {image, ": give the user read permission on the file (chmod, chown)", "：请给用户该文件的读取权限（chmod、chown）"},
        {"/dev/sdb1", ": add the user to the plugdev group", "：请把用户加入 plugdev 组"},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.path);
        const VolumeStatus denied{VolumeCause::kNoPermission, EACCES};
        const std::string english = VolumeCauseText(denied, kind.path, TextLanguage::kEnglish);
        const std::string chinese = VolumeCauseText(denied, kind.path, TextLanguage::kChinese);
        EXPECT_NE(english.find(kind.english), std::string::npos) << english;
        EXPECT_NE(chinese.find(kind.chinese), std::string::npos) << chinese;
    }
    std::remove(image.c_str());
#endif
    // An error without words of its own still names its number or text.
    EXPECT_FALSE(OsErrorText(123456, TextLanguage::kChinese).empty());
}

}  // namespace
}  // namespace orvanta
