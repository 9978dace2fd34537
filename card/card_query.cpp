// The card query: for a selected second, check the card, refresh the device
// record, find the ring, locate and read the record of that second and build
// the waveform and trend texts from it.
#include <cstdint>

#include "card/card_layout.h"
#include "card/card_reader.h"

namespace orvanta {

int CCardReader::CheckCardPresent() {
    ReadSector(baseSector + 1000);
    const bool firstMarked = sectorBuffer[0] == kRecordMarker;
    ReadSector(baseSector + 1001);
    const bool secondMarked = sectorBuffer[0] == kRecordMarker;
    if (firstMarked && secondMarked) {
        // A card that was pulled and put back is reported present again, under
        // the letter found at start-up (the drives are never searched again).
        driveCode = StartupDriveCode();
        return 1;
    }
    driveCode = kNoCardDriveCode;
    return 0;
}

void CCardReader::QueryCard(std::int32_t selectedTime) {
    // Every step runs, whatever the presence check found.
    CheckCardPresent();
    ReadDeviceRecord();
    FindRingBounds();
    currentSector = FindSectorByTime(selectedTime);
    currentSector = ScanBackward(currentSector);
    // The waveform is built from the buffer this read leaves.
    actualTime = ReadSector(currentSector);
    BuildWaveText();
    BuildTrendText();
}

}  // namespace orvanta
