#include "card/drive_check.h"

namespace orvanta {

DriveCheck CheckDrive(RawVolumeSystem& volumes, char letter, std::uint32_t baseSector) {
    DriveCheck check;
    check.letter = letter;
    unsigned char sectors[2 * kSectorSize];
    const VolumeRead read = ReadVolumeOnce(volumes, DevicePathOf(letter).c_str(),
                                           static_cast<std::uint64_t>(baseSector + 1000) * kSectorSize, sectors,
                                           sizeof sectors);
    check.status = read.status;
    check.hasCard = sectors[0] == kRecordMarker && sectors[kSectorSize] == kRecordMarker;
    return check;
}

std::string DriveCheckText(const DriveCheck& check, const std::string& path, TextLanguage language) {
    const bool zh = language == TextLanguage::kChinese;
    if (check.hasCard) return zh ? path + " 上有记录仪的存储卡" : path + " holds a recorder's card";
    if (!check.status.Ok()) return VolumeCauseText(check.status, path, language);
    return zh ? path + " 上没有记录仪的存储卡（扇区 101000 和 101001 不以 0x20 开头）"
              : path + " holds no recorder's card (sectors 101000 and 101001 do not begin with 0x20)";
}

std::vector<std::string> DriveReport(RawVolumeSystem& volumes, const DriveMap& drives, TextLanguage language) {
    std::vector<std::string> lines;
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        const DriveCheck check = CheckDrive(volumes, letter);
        const std::string path = drives.PathOf(letter);
        if (path.empty() && check.status.cause == VolumeCause::kNotFound) continue;
        lines.push_back(std::string(1, letter) + ": " +
                        DriveCheckText(check, path.empty() ? DevicePathOf(letter) : path, language));
    }
    return lines;
}

}  // namespace orvanta
