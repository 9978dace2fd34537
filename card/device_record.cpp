// The calibration ratios from "ratio.txt" and the device record text.
#include <cstdio>

#include "card/bounded_text.h"
#include "card/card_layout.h"
#include "card/card_reader.h"
#include "card/ratio_file.h"

namespace orvanta {

void CCardReader::LoadRatios(const char* path) {
    // Relative to the working directory unless the path says otherwise. A
    // number that does not convert, or that would break the texts, leaves
    // its ratio as it was, as does a missing file; what was refused or is
    // doubtful is said on standard error.
    ratioFile_ = LoadRatioFile(path, offsetA, offsetB, &ratioA, &ratioB);
    if (!ratioFile_.error.empty()) std::fprintf(stderr, "orvanta: %s\n", ratioFile_.error.c_str());
    for (const RatioNote& note : ratioFile_.notes) std::fprintf(stderr, "orvanta: %s\n", RatioNoteText(note).c_str());
}

void CCardReader::ReadDeviceRecord() {
    // A read of its own: sectorBuffer keeps the last record read.
    unsigned char info[kSectorSize];
    const VolumeRead read = ReadVolumeOnce(*volumes_, devicePath,
                                           static_cast<std::uint64_t>(infoSector) * kSectorSize, info, sizeof info);
    // Only a read that delivered the serial and the device byte replaces the
    // values of the last good read.
    if (read.delivered >= 5) {
        deviceSerial = static_cast<std::int32_t>(SerialAt(info));
        deviceByte = info[4];
    }
    std::snprintf(infoText, sizeof infoText, "%d %d %d %ld %ld ", driveCode, TruncateToInt32(ratioA),
                  TruncateToInt32(ratioB), static_cast<long>(deviceSerial), static_cast<long>(deviceByte));
}

}  // namespace orvanta
