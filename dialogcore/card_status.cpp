#include "dialogcore/card_status.h"

#include "card/drive_check.h"

namespace orvanta {

CardLine CardLineOf(CCardReader& reader, const std::string& devicePath, const std::string& startupCause,
                    TextLanguage language) {
    CardLine line;
    if (reader.StartupDriveCode() == kNoCardDriveCode) {
        line.kind = startupCause.empty() ? CardLineKind::kNoCardAtStart : CardLineKind::kCause;
        line.cause = startupCause;
        return line;
    }
    line.letter = static_cast<char>(reader.StartupDriveCode());
    line.kind = CardLineKind::kOnDrive;
    if (reader.driveCode != kNoCardDriveCode) return line;
    // The card stopped answering since start-up: name why when the volume
    // layer knows, as the start page does.
    const DriveCheck check = CheckDrive(reader.Volumes(), line.letter);
    if (!check.hasCard && !check.status.Ok() && !devicePath.empty()) {
        line.kind = CardLineKind::kCause;
        line.cause = DriveCheckText(check, devicePath, language);
    } else {
        line.kind = CardLineKind::kNotResponding;
    }
    return line;
}

}  // namespace orvanta
