// Shared helpers for the card tests: record sectors with BCD timestamps in a
// MemoryDisk, whole rings of records (not yet wrapped or wrapped), and guards
// that set the time zone or the working directory for one test.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "card/card_reader.h"
#include "card/local_time.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace cardtest {

using testenv::ScopedTimeZone;
using testenv::TimeOfFields;

using SectorBytes = std::array<std::uint8_t, 512>;

// The BCD byte of 0..99 (for example 24 -> 0x24).
std::uint8_t ToBcd(int value);

// Writes a record sector: marker 0x20 at byte 0 and the BCD date and time of
// `when` at bytes 1 to 6 (year 2000 + byte 1). Other bytes are left as they
// are (zero for a new sector). Returns the sector's bytes for further edits.
SectorBytes& WriteRecordFields(MemoryDisk& disk, std::uint32_t sector, const LocalFields& when);

// Same with a time value: the local standard time of `time` under the
// current TZ, so that reading the sector gives `time` back.
SectorBytes& WriteRecord(MemoryDisk& disk, std::uint32_t sector, std::int32_t time);

// Writes the raw bytes 1 to 6 (year, month, day, hour, minute, second) with
// the marker 0x20, exactly as given (for invalid or odd BCD values).
SectorBytes& WriteRecordBytes(MemoryDisk& disk, std::uint32_t sector, const std::array<std::uint8_t, 6>& bcd);

// Sets sample pair `pair` (0..125) of a record sector: channel A at byte
// 8 + 4 * pair, channel B two bytes later, both little-endian.
void SetSamplePair(SectorBytes& sector, int pair, std::uint16_t a, std::uint16_t b);

// Puts the marker 0x20 into byte 0 of both test sectors (base + 1000 and
// base + 1001), so the drive search recognises the disk as a recorder's card.
void MarkCardTestSectors(MemoryDisk& disk, std::uint32_t baseSector = 100000);

// Writes the information sector: serial big-endian in bytes 0..3, byte 4.
void WriteInfoSector(MemoryDisk& disk, std::uint32_t serial, std::uint8_t deviceByte,
                     std::uint32_t infoSector = 90000);

// Called for every record written by WriteRing, with the record's logical
// index (0 = oldest) and its bytes (marker and timestamp already set), e.g.
// to fill in samples.
using RecordFiller = std::function<void(std::uint32_t index, SectorBytes& sector)>;

// Where WriteRing put the records and which times they carry.
struct RingLayout {
    std::uint32_t baseSector = 100000;
    std::uint32_t ringStart = 0;    // physical sector of the oldest record
    std::uint32_t upperSector = 0;  // last physical sector of the ring
    std::uint32_t ringCount = 0;    // upperSector - baseSector + 1
    std::uint32_t newestSector = 0; // physical sector of the newest record
    std::int32_t firstTime = 0;     // time of the oldest record
    std::uint32_t perSecond = 1;    // records sharing each second

    // Physical sector of logical index `index` (0 = oldest).
    std::uint32_t PhysicalOf(std::uint32_t index) const;
    // Time carried by logical index `index`: firstTime + index / perSecond.
    std::int32_t TimeOf(std::uint32_t index) const;
    std::int32_t NewestTime() const { return TimeOf(ringCount - 1); }
};

// Writes a ring of `ringCount` records in time order, `perSecond` records per
// second, the oldest carrying `firstTime`.
// - currentPass == 0: not yet wrapped; records at base .. base + ringCount - 1,
//   zeros behind.
// - currentPass > 0: wrapped; the newest `currentPass` records at base ..
//   base + currentPass - 1, the older ones from base + currentPass to
//   base + ringCount - 1 (that is where the oldest lies).
// The sectors behind the ring are left as they are (zeros on a fresh disk).
RingLayout WriteRing(MemoryDisk& disk, std::int32_t firstTime, std::uint32_t ringCount, std::uint32_t perSecond = 1,
                     std::uint32_t currentPass = 0, std::uint32_t baseSector = 100000,
                     const RecordFiller& fill = nullptr);


// Creates an empty temporary directory, makes it the working directory for the
// lifetime of the guard, then goes back and removes it with its files.
class ScopedTempWorkDir {
public:
    ScopedTempWorkDir();
    ~ScopedTempWorkDir();
    ScopedTempWorkDir(const ScopedTempWorkDir&) = delete;
    ScopedTempWorkDir& operator=(const ScopedTempWorkDir&) = delete;

    const std::string& Path() const { return dir_.Path(); }
    // Writes a file with exactly `content` into the directory.
    void WriteFile(const std::string& name, const std::string& content) const;

private:
    testenv::TempDir dir_;
    std::string previous_;
};

// A reader on drive E: of a memory card whose test sectors are marked, read
// through the fault-injecting wrapper; the reader is made on first use and the
// counters cleared after construction.
struct CardOnE {
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    MemoryDisk& disk = memory.Attach('E');
    std::unique_ptr<CCardReader> reader;

    CardOnE() { MarkCardTestSectors(disk); }
    CCardReader& Reader() {
        if (!reader) {
            reader = std::make_unique<CCardReader>(volumes);
            volumes.ResetCounters();
        }
        return *reader;
    }
    // Device opens since the last reset: one per probe.
    std::uint64_t Probes() const { return volumes.counters.opens; }
};

}  // namespace cardtest
}  // namespace orvanta
