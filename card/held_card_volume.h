// A card's raw volume held open for the length of one scan: sector runs are
// read through the one open, and the ring searches probe timestamps through
// it. A sector probed once is not read again during the scan, so a search
// that comes back to a sector (the bisection's lower end, the scans' start)
// costs no second read.
//
// A failed read delivers zeros for its sectors, as a single-sector read of
// the card reader does. Several failed reads in a row mean that the card has
// gone (pulled from its reader): Gone() then holds.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "card/ring_probe.h"
#include "card/timestamp_decoder.h"
#include "platform/raw_volume.h"

namespace orvanta {

class CHeldCardVolume : public CRingProbe {
public:
    // Opens the device; IsOpen() tells whether that worked.
    CHeldCardVolume(RawVolumeSystem& volumes, const char* devicePath);

    bool IsOpen() const { return volume_ != nullptr; }
    bool Gone() const { return failuresInRow_ >= kFailuresMeaningGone; }

    // Reads `count` sectors from `first` into `buffer` (count * 512 bytes,
    // cleared first). False when the positioning or the read failed.
    bool ReadSectors(std::uint32_t first, std::uint32_t count, unsigned char* buffer);
    // The same, but when the one read fails its sectors are read one by one,
    // so a bad sector costs only itself (it stays zero); stops early when the
    // card has gone.
    void ReadSectorsSalvaging(std::uint32_t first, std::uint32_t count, unsigned char* buffer);

    // The timestamp of a sector, read once and then remembered.
    std::int32_t TimeAt(std::uint32_t sector) override;

    // Sectors asked of the device so far (a run of n counts n) and read requests.
    std::uint64_t SectorReads() const { return sectorReads_; }
    std::uint64_t ReadRequests() const { return readRequests_; }

    // Closes the device; later reads fail.
    void Close() { volume_.reset(); }

private:
    static constexpr int kFailuresMeaningGone = 3;

    std::unique_ptr<RawVolume> volume_;
    std::unordered_map<std::uint32_t, std::int32_t> times_;
    CTimestampDecoder decoder_;
    std::uint64_t sectorReads_ = 0;
    std::uint64_t readRequests_ = 0;
    int failuresInRow_ = 0;
};

}  // namespace orvanta
