// The calibration ratios from "ratio.txt" and the device record text.
#include <cstdio>

#include "card/bounded_text.h"
#include "card/card_layout.h"
#include "card/card_reader.h"

namespace orvanta {

void CCardReader::LoadRatios() {
    // Relative to the working directory. A number that does not convert
    // leaves its ratio as it was, as does a missing file.
    std::FILE* file = std::fopen("ratio.txt", "r");
    if (file == nullptr) return;
    const int converted = std::fscanf(file, "%lf\n%lf", &ratioA, &ratioB);
    (void)converted;
    std::fclose(file);
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
