// The card query: for a selected second, check the card, refresh the device
// record, find the ring, locate and read the record of that second and build
// the waveform and trend texts from it.
//
// A recorder may be writing while the query runs. A write moves the ring's
// oldest record, and the sectors the search went by can then hold newer
// records than the search took them for: the record found would be of another
// second. So a record of another second than the selected one is checked
// against its neighbours in the ring before it is taken, and the search runs
// again, a bounded number of times, when they show that the ring moved.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "card/card_layout.h"
#include "card/card_reader.h"

namespace orvanta {

namespace {

constexpr int kQueryAttempts = 4;
constexpr int kGroupSteps = 30;  // as far as the scans go

// Whether the record at `sector`, of `time` (read just now, not the selected
// second), is what the time search implies for `selected`, judged by fresh
// reads of its neighbours in the ring as found:
// - earlier than `selected`: the next record of another second is later than
//   `selected`, or older than the record (it is the newest), or none;
// - later than `selected`: it is the oldest record, so the one before it in
//   the ring is the newest and later still (or unwritten).
bool FitsTheSearch(CCardReader& reader, std::int32_t selected, std::uint32_t sector, std::int32_t time) {
    const std::uint32_t count = reader.ringCount;
    const std::uint32_t index = reader.PhysicalToLogical(sector);
    if (count <= 1 || index >= count) return true;
    if (time < selected) {
        std::uint32_t next = index;
        for (int step = 0; step < kGroupSteps && next + 1 < count; ++step) {
            ++next;
            const std::int32_t nextTime = reader.ReadSector(reader.LogicalToPhysical(next));
            if (nextTime != time) return nextTime > selected || nextTime <= 0 || nextTime < time;
        }
        return true;
    }
    const std::uint32_t before = index == 0 ? count - 1 : index - 1;
    const std::int32_t beforeTime = reader.ReadSector(reader.LogicalToPhysical(before));
    return beforeTime > time || beforeTime <= 0;
}

}  // namespace

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
    // What the last attempt found: the ring, the record and its time.
    std::uint32_t last[4] = {};
    for (int attempt = 1;; ++attempt) {
        FindRingBounds();
        currentSector = FindSectorByTime(selectedTime);
        currentSector = ScanBackward(currentSector);
        // The waveform is built from the buffer this read leaves.
        actualTime = ReadSector(currentSector);
        if (actualTime <= 0 || actualTime == selectedTime) break;
        // A card that gives the same odd answer on the same ring twice is
        // not moving: its shape is its own, and the answer stands.
        const std::uint32_t found[4] = {ringStart, upperSector, currentSector, static_cast<std::uint32_t>(actualTime)};
        const bool trusted = FitsTheSearch(*this, selectedTime, currentSector, actualTime) ||
                             (attempt > 1 && std::equal(found, found + 4, last));
        // The checks read other sectors: the record is read again, last.
        if (trusted && ReadSector(currentSector) == actualTime) break;
        if (attempt == kQueryAttempts) {
            // The ring kept moving: no record rather than one of another second.
            std::memset(sectorBuffer, 0, sizeof sectorBuffer);
            actualTime = 0;
            break;
        }
        std::copy(found, found + 4, last);
    }
    BuildWaveText();
    BuildTrendText();
}

}  // namespace orvanta
