// What a failed volume operation means to the person at the machine, in
// English or Chinese, in the way smartmontools words its device errors: what
// could not be done to which path, the operating system's own words for the
// error, and what to do about it. For example
//   "no permission to read /dev/sdb1 (permission denied): add the user to the plugdev group"
//   "无权读取 /dev/sdb1（权限不足）：请把用户加入 plugdev 组"
// Qt-free, so that the command-line programs and both windows say the same.
#pragma once

#include <string>

#include "platform/raw_volume.h"

namespace orvanta {

enum class TextLanguage { kEnglish, kChinese };

// The operating system's words for an error code (errno on Linux,
// GetLastError on Windows), in lower case: "permission denied", "权限不足".
// Codes without a Chinese text give the English one.
std::string OsErrorText(int osError, TextLanguage language);

// One line naming the cause for `path` (the mapped device or image file, or
// the drive's device path where the platform names drives itself), with the
// OS error in parentheses when there is one and a hint after a colon. Empty
// for kOk.
std::string VolumeCauseText(const VolumeStatus& status, const std::string& path, TextLanguage language);

}  // namespace orvanta
