// What a scan of the whole card (the overview, the events list) takes from the
// card reader: the volume system, the device, the ring's base and the
// calibration. Copied when the scan is made, so that the scan can run on a
// worker thread while the reader serves queries; the volume system must
// outlive the scan. And how such a scan ends: its status, what it read and
// why it ended early, which both scans' results begin with.
#pragma once

#include <cstdint>
#include <string>

#include "card/card_reader.h"
#include "card/held_card_volume.h"
#include "platform/raw_volume.h"

namespace orvanta {

struct CardScanSource {
    explicit CardScanSource(const CCardReader& reader)
        : volumes(&reader.Volumes()),
          devicePath(reader.devicePath),
          baseSector(reader.baseSector),
          zeroLevelA(reader.offsetA),
          zeroLevelB(reader.offsetB),
          ratioA(reader.ratioA),
          ratioB(reader.ratioB) {}

    RawVolumeSystem* volumes;
    std::string devicePath;
    std::uint32_t baseSector;
    double zeroLevelA;
    double zeroLevelB;
    double ratioA;
    double ratioB;
};

enum class OverviewStatus {
    kDone,       // every sample position was read (failed single reads aside)
    kNoDevice,   // the card's device does not open
    kNoRecords,  // the ring holds no valid record
    kCardGone,   // the card stopped answering during the scan: samples so far
    kCancelled,  // the cancel hook asked to stop: samples so far
};

struct CardScanEnd {
    OverviewStatus status = OverviewStatus::kNoDevice;
    std::uint64_t sectorReads = 0;   // sectors asked of the device
    std::uint64_t readRequests = 0;  // read requests made
    std::string message;             // what ended the scan early, for people
};

// Ends a scan held on `volume`: its status and message, what it read, and the
// volume closed.
inline void EndScan(CHeldCardVolume& volume, OverviewStatus status, const std::string& message, CardScanEnd* end) {
    end->status = status;
    end->message = message;
    end->sectorReads = volume.SectorReads();
    end->readRequests = volume.ReadRequests();
    volume.Close();
}

// Why a scan whose device does not open read nothing.
inline std::string DeviceNotOpenMessage(const CardScanSource& source) {
    return "the card's device " + source.devicePath + " does not open";
}

}  // namespace orvanta
