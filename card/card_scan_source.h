// What a scan of the whole card (the overview, the events list) takes from the
// card reader: the volume system, the device, the ring's base and the
// calibration. Copied when the scan is made, so that the scan can run on a
// worker thread while the reader serves queries; the volume system must
// outlive the scan.
#pragma once

#include <cstdint>
#include <string>

#include "card/card_reader.h"
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

}  // namespace orvanta
