#include "platform/volume_error.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace orvanta {
namespace {

struct OsErrorWords {
    int code;
    const char* english;
    const char* chinese;
};

// The errors a card's device gives in practice.
constexpr OsErrorWords kOsErrors[] = {
#ifdef _WIN32
    {ERROR_FILE_NOT_FOUND, "the system cannot find the file specified", "系统找不到指定的文件"},
    {ERROR_PATH_NOT_FOUND, "the system cannot find the path specified", "系统找不到指定的路径"},
    {ERROR_ACCESS_DENIED, "access is denied", "拒绝访问"},
    {ERROR_INVALID_DRIVE, "the system cannot find the drive specified", "系统找不到指定的驱动器"},
    {ERROR_NOT_READY, "the device is not ready", "设备未就绪"},
    {ERROR_CRC, "data error (cyclic redundancy check)", "数据错误（循环冗余检查）"},
    {ERROR_SECTOR_NOT_FOUND, "the drive cannot find the sector requested", "驱动器找不到请求的扇区"},
    {ERROR_READ_FAULT, "the system cannot read from the specified device", "系统无法从指定的设备读取"},
    {ERROR_SHARING_VIOLATION, "the file is in use by another process", "另一个程序正在使用此文件"},
    {ERROR_INVALID_NAME, "the file name or volume label syntax is incorrect", "文件名或卷标语法不正确"},
    {ERROR_IO_DEVICE, "an I/O device error occurred", "设备出现输入/输出错误"},
#else
    {ENOENT, "no such file or directory", "没有那个文件或目录"},
    {ENOTDIR, "not a directory", "不是目录"},
    {ENXIO, "no such device or address", "没有那个设备或地址"},
    {ENODEV, "no such device", "没有那个设备"},
#ifdef ENOMEDIUM
    {ENOMEDIUM, "no medium found", "找不到介质"},
#endif
    {EACCES, "permission denied", "权限不足"},
    {EPERM, "operation not permitted", "不允许的操作"},
    {EIO, "input/output error", "输入/输出错误"},
    {EISDIR, "is a directory", "是一个目录"},
    {EINVAL, "invalid argument", "无效的参数"},
    {EBUSY, "device or resource busy", "设备或资源忙"},
#endif
};

// path + the OS error in parentheses, in the language's punctuation.
std::string WithOsError(const std::string& text, int osError, TextLanguage language) {
    if (osError == 0) return text;
    const std::string words = OsErrorText(osError, language);
    return language == TextLanguage::kChinese ? text + "（" + words + "）" : text + " (" + words + ")";
}

std::string WithHint(const std::string& text, const char* english, const char* chinese, TextLanguage language) {
    return language == TextLanguage::kChinese ? text + "：" + chinese : text + ": " + english;
}

#ifndef _WIN32
// stat needs no read permission on the file itself, only on its folders.
bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
#endif

}  // namespace

std::string OsErrorText(int osError, TextLanguage language) {
    for (const OsErrorWords& words : kOsErrors) {
        if (words.code == osError) return language == TextLanguage::kChinese ? words.chinese : words.english;
    }
    const std::string number = std::to_string(osError);
#ifdef _WIN32
    return language == TextLanguage::kChinese ? "系统错误 " + number : "system error " + number;
#else
    std::string english = std::strerror(osError);
    if (!english.empty() && english[0] >= 'A' && english[0] <= 'Z') english[0] = static_cast<char>(english[0] - 'A' + 'a');
    return language == TextLanguage::kChinese ? "错误 " + number + "：" + english : english;
#endif
}

std::string VolumeCauseText(const VolumeStatus& status, const std::string& path, TextLanguage language) {
    const bool zh = language == TextLanguage::kChinese;
    switch (status.cause) {
    case VolumeCause::kOk:
        return std::string();
    case VolumeCause::kNotFound:
#ifdef _WIN32
        return WithHint(WithOsError(zh ? "找不到 " + path : path + " not found", status.osError, language),
                        "check that the card is in its reader and which drive letter Windows gave it",
                        "请确认存储卡已插入读卡器，并查看 Windows 给它的盘符", language);
#else
        return WithHint(WithOsError(zh ? "找不到 " + path : path + " not found", status.osError, language),
                        "check the --drive mapping and that the card is in its reader",
                        "请检查 --drive 映射，并确认存储卡已插入读卡器", language);
#endif
    case VolumeCause::kNoPermission:
#ifdef _WIN32
        return WithHint(WithOsError(zh ? "无权读取 " + path : "no permission to read " + path, status.osError,
                                    language),
                        "run the program as an administrator", "请以管理员身份运行本程序", language);
#else
        // A card reader's block device is opened through the plugdev group;
        // a card image is an ordinary file with its own owner and mode.
        if (IsRegularFile(path)) {
            return WithHint(WithOsError(zh ? "无权读取 " + path : "no permission to read " + path, status.osError,
                                        language),
                            "give the user read permission on the file (chmod, chown)",
                            "请给用户该文件的读取权限（chmod、chown）", language);
        }
        return WithHint(WithOsError(zh ? "无权读取 " + path : "no permission to read " + path, status.osError,
                                    language),
                        "add the user to the plugdev group", "请把用户加入 plugdev 组", language);
#endif
    case VolumeCause::kNotCardDevice:
        return WithHint(WithOsError(zh ? path + " 不是存储卡设备" : path + " is not a card device", status.osError,
                                    language),
                        "map a block device or a card image file", "请映射块设备或存储卡映像文件", language);
    case VolumeCause::kIoError:
        return WithHint(WithOsError(zh ? "读取 " + path + " 时出现输入/输出错误" : "I/O error reading " + path,
                                    status.osError, language),
                        "the card or its reader may be faulty; try another reader",
                        "存储卡或读卡器可能有故障，请换一个读卡器再试", language);
    case VolumeCause::kShortRead:
        return WithHint(zh ? "从 " + path + " 读到的数据不足" : "short read from " + path,
                        "the device ends before the sectors of a recorder's card",
                        "设备在记录仪存储卡的扇区之前就结束了", language);
    }
    return std::string();
}

}  // namespace orvanta
