// Construction, sector access and the drive search of CCardReader.
#include "card/card_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "card/card_layout.h"
#include "card/timestamp.h"

namespace orvanta {

namespace {

// Drive candidates: 'D' up to '[', the character after 'Z' (24 in all). '['
// names no drive, so when nothing qualifies the path is left naming nothing.
constexpr char kFirstCandidate = 'D';
constexpr char kLastCandidate = '[';

}  // namespace

CCardReader::CCardReader(RawVolumeSystem& volumes)
    : sectorBuffer{},
      baseSector(0),
      upperSector(0),
      infoSector(0),
      ringCount(0),
      ringStart(0),
      deviceSerial(0),
      deviceByte(0),
      offsetA(0.0),
      offsetB(0.0),
      ratioA(0.0),
      ratioB(0.0),
      devicePath{},
      driveCode(0),
      currentSector(0),
      actualTime(0),
      waveText{},
      trendText{},
      infoText{},
      volumes_(&volumes) {
    baseSector = kBaseSector;
    upperSector = kRingSearchLimit;
    infoSector = kInfoSector;
    offsetA = kZeroLevelA;
    offsetB = kZeroLevelB;
    ratioA = 1.0;
    ratioB = 1.0;
    LoadRatios();
    FindCardDrive();
}

void CCardReader::SetDevicePath(char letter) {
    std::snprintf(devicePath, sizeof devicePath, "\\\\.\\%c:", letter);
}

std::int32_t CCardReader::ReadSector(std::uint32_t sector) {
    std::unique_ptr<RawVolume> volume = volumes_->Open(devicePath);
    // Cleared before every read: whatever the device does not deliver (a
    // refused position, a failed or short read, the end of the device) reads
    // as zeros, never as bytes of an earlier sector.
    std::memset(sectorBuffer, 0, sizeof sectorBuffer);
    if (!volume) return 0;
    if (volume->SetPosition(static_cast<std::uint64_t>(sector) * kSectorSize)) {
        volume->Read(sectorBuffer, sizeof sectorBuffer);
    }
    const std::int32_t timestamp = DecodeSectorTimestamp(sectorBuffer);
    volume.reset();  // closes the device
    return timestamp;
}

int CCardReader::FindCardDrive() {
    for (char letter = kFirstCandidate; letter <= kLastCandidate; ++letter) {
        SetDevicePath(letter);
        ReadSector(baseSector + 1000);
        const bool firstMarked = sectorBuffer[0] == kRecordMarker;
        ReadSector(baseSector + 1001);
        const bool secondMarked = sectorBuffer[0] == kRecordMarker;
        if (firstMarked && secondMarked) {
            driveCode = static_cast<unsigned char>(letter);
            startupDriveCode_ = driveCode;
            return 1;
        }
    }
    // No card: devicePath stays at '[' and opens nothing from now on.
    driveCode = 1;
    startupDriveCode_ = 1;
    std::snprintf(waveText, sizeof waveText, "%d %d ", 0, 0);
    std::snprintf(trendText, sizeof trendText, "%d %d ", 0, 0);
    std::snprintf(infoText, sizeof infoText, "%d %d ", 0, 0);
    return 0;
}

}  // namespace orvanta
