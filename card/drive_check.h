// Why a drive does or does not hold a recorder's card, for a person: the
// drive's test sectors are read as the drive search reads them, and a failure
// keeps the volume layer's cause. The command-line programs print it when no
// card is found; the windows can show the same text.
#pragma once

#include <string>
#include <vector>

#include "card/card_layout.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "platform/volume_error.h"

namespace orvanta {

struct DriveCheck {
    char letter = 0;
    VolumeStatus status;   // of reading the two test sectors
    bool hasCard = false;  // both carry the record marker
};

// Reads the test sectors (baseSector + 1000 and + 1001) of drive `letter`.
DriveCheck CheckDrive(RawVolumeSystem& volumes, char letter, std::uint32_t baseSector = kBaseSector);

// One line: what the drive holds, or why it could not be read. `path` names
// the drive's device or image file (its device path where the platform names
// drives itself).
std::string DriveCheckText(const DriveCheck& check, const std::string& path, TextLanguage language);

// For each drive from D: to Z: that names something (mapped, or answering
// where the platform names drives itself): "E: " and its DriveCheckText.
std::vector<std::string> DriveReport(RawVolumeSystem& volumes, const DriveMap& drives, TextLanguage language);

}  // namespace orvanta
