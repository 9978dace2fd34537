// CCardReader: the whole card access state of the client. It reads the
// recorder's 512-byte sectors straight from the card's raw device, works out
// the ring of records, finds the record of a chosen second, and holds the
// calibration and the three report texts that a request sends.
//
// A plain record: every sector read opens, positions, reads and closes the
// device again, so nothing stays open between calls and nothing is cached.
#pragma once

#include <cstdint>
#include <vector>

#include "card/ratio_file.h"
#include "card/record_rms.h"
#include "card/trend_point.h"
#include "card/trend_record.h"
#include "platform/raw_volume.h"

namespace orvanta {

class CTimestampDecoder;

// The drive code of the no-card state: no drive from D: to Z: held a card at
// start-up, or the last presence check failed.
constexpr std::int32_t kNoCardDriveCode = 1;

class CCardReader {
public:
    // Sets the defaults, loads the calibration ratios from "ratio.txt" in the
    // working directory, then searches drives D: to Z: for a recorder's card.
    // `volumes` must outlive the reader.
    explicit CCardReader(RawVolumeSystem& volumes);
    CCardReader(const CCardReader&) = delete;
    CCardReader& operator=(const CCardReader&) = delete;

    // --- fields, in declaration order -------------------------------------
    unsigned char sectorBuffer[512];  // the sector last read by ReadSector
    std::uint32_t baseSector;         // first physical sector of the ring (100000)
    std::uint32_t upperSector;        // discovery limit, then the ring's last sector
    std::uint32_t infoSector;         // the information sector (90000)
    std::uint32_t ringCount;          // upperSector - baseSector + 1
    std::uint32_t ringStart;          // physical sector of the oldest record
    std::int32_t deviceSerial;        // information sector bytes 0..3, big-endian
    std::int32_t deviceByte;          // information sector byte 4
    double offsetA;                   // zero level of channel A (506.3)
    double offsetB;                   // zero level of channel B (509.0)
    double ratioA;                    // calibration ratio of channel A
    double ratioB;                    // calibration ratio of channel B
    char devicePath[12];              // "\\.\E:" for drive E
    std::int32_t driveCode;           // letter code of the card's drive, or kNoCardDriveCode
    std::uint32_t currentSector;      // sector of the record chosen by the last query
    std::int32_t actualTime;          // timestamp of that record
    char waveText[2540];              // form field "data"
    char trendText[25400];            // form field "data1"
    char infoText[100];               // form field "data2"

    // --- sector access and drive search -----------------------------------
    void SetDevicePath(char letter);
    // Reads a sector into sectorBuffer and returns its timestamp, or 0.
    std::int32_t ReadSector(std::uint32_t sector);
    // The same, decoding the timestamp with `decoder`, which converts each
    // hour of records once (the ring searches probe through this).
    std::int32_t ReadSector(std::uint32_t sector, CTimestampDecoder& decoder);
    // 1 when a drive from D: to Z: holds a recorder's card, else 0 (no-card state).
    int FindCardDrive();

    // --- ring index and time search ---------------------------------------
    void FindRingBounds();
    std::uint32_t FindRunEnd(std::uint32_t start);
    std::uint32_t ScanForward(std::uint32_t sector);
    std::uint32_t ScanBackward(std::uint32_t sector);
    std::uint32_t FindSectorByTime(std::int32_t time);
    std::uint32_t LogicalToPhysical(std::uint32_t index) const;
    std::uint32_t PhysicalToLogical(std::uint32_t sector) const;

    // --- calibration and device record ------------------------------------
    // ratio.txt of the working directory, or the file at `path`.
    void LoadRatios(const char* path = "ratio.txt");
    void ReadDeviceRecord();

    // --- measurement texts and card query ---------------------------------
    void BuildWaveText();
    void BuildTrendText();
    // The records behind trendText's points, in its order, for the record
    // export: their sectors, times, points and real RMS. Worked out when asked
    // from the sectors the last BuildTrendText read (the request needs only
    // the text), with the calibration the text was built with.
    std::vector<TrendRecord> TrendRecords() const;
    int CheckCardPresent();
    void QueryCard(std::int32_t selectedTime);

    // The letter code found by the start-up drive search (kNoCardDriveCode
    // when none). A presence check that passes restores driveCode to it, so a
    // card that was pulled and put back is reported present again.
    std::int32_t StartupDriveCode() const { return startupDriveCode_; }

    RawVolumeSystem& Volumes() const { return *volumes_; }

    // What LoadRatios found: whether ratio.txt was read, why it was refused
    // (a FIFO, more than 1 MiB), and the ratios it did not take or doubts.
    const RatioFileOutcome& RatioFile() const { return ratioFile_; }

private:
    void ReadIntoBuffer(std::uint32_t sector);

    RawVolumeSystem* volumes_;
    // What BuildTrendText read and which of its sectors gave the points.
    struct TrendPointOrigin {
        std::uint32_t index;  // sector within the read
        TrendPoint point;
    };
    std::vector<unsigned char> trendRead_;
    std::uint32_t trendFirst_ = 0;
    std::vector<TrendPointOrigin> trendOrigins_;
    CRecordRmsCalculator trendRms_{0.0, 0.0, 1.0, 1.0};
    RatioFileOutcome ratioFile_;
    std::int32_t startupDriveCode_ = kNoCardDriveCode;
};

}  // namespace orvanta
