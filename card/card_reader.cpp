// Construction, sector access and the drive search of CCardReader.
#include "card/card_reader.h"

#include <cstdio>

#include "card/card_layout.h"
#include "card/timestamp.h"
#include "card/timestamp_decoder.h"

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
    ReadIntoBuffer(sector);
    return DecodeSectorTimestamp(sectorBuffer);
}

std::int32_t CCardReader::ReadSector(std::uint32_t sector, CTimestampDecoder& decoder) {
    ReadIntoBuffer(sector);
    return decoder.Decode(sectorBuffer);
}

void CCardReader::ReadIntoBuffer(std::uint32_t sector) {
    // Open, position, read, close. Whatever the device does not deliver (it
    // does not open, refuses the position, fails or ends) reads as zeros,
    // never as bytes of an earlier sector.
    ReadVolumeOnce(*volumes_, devicePath, static_cast<std::uint64_t>(sector) * kSectorSize, sectorBuffer,
                   sizeof sectorBuffer);
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
    driveCode = kNoCardDriveCode;
    startupDriveCode_ = kNoCardDriveCode;
    std::snprintf(waveText, sizeof waveText, "%d %d ", 0, 0);
    std::snprintf(trendText, sizeof trendText, "%d %d ", 0, 0);
    trendOrigins_.clear();
    std::snprintf(infoText, sizeof infoText, "%d %d ", 0, 0);
    return 0;
}

}  // namespace orvanta
