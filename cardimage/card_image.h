// Synthetic recorder cards: the sectors a field recorder would have written
// (information sector, a ring of timestamped records with two-channel samples,
// the two test sectors), for images on disk, in-memory test disks and
// benchmarks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "card/card_layout.h"
#include "card/local_time.h"
#include "cardimage/sparse_image.h"

namespace orvanta {
namespace cardimage {

// Sectors of a full-size card: the ring discovery probes up to sector 60000000.
constexpr std::uint64_t kFullCardSectors = std::uint64_t{kRingSearchLimit} + 1;

// What the card holds.
struct CardContents {
    LocalFields start{2024, 3, 15, 10, 0, 0};  // local time of the oldest record
    std::uint32_t records = 5000;              // records in the ring (ringCount)
    // Records per second, taken in turn for each second; a 0 leaves a second
    // without records.
    std::vector<std::uint32_t> perSecond{1};
    // After every `gapEvery` seconds with records, `gapSeconds` seconds pass
    // without any (0: no gaps).
    std::uint32_t gapEvery = 0;
    std::uint32_t gapSeconds = 0;
    // Records of the current pass: the recorder has come round and overwritten
    // the start of the ring with its newest `wrap` records (0: not wrapped).
    // The ring then ends at baseSector + records - 1 and its oldest record lies
    // at baseSector + wrap. The current pass begins on a second of its own.
    std::uint32_t wrap = 0;
    std::uint64_t sectors = kFullCardSectors;  // size of the card
    std::uint32_t serial = 123456;             // information sector bytes 0..3
    std::uint8_t deviceByte = 7;               // information sector byte 4
    // The test sectors carry the marker: record sectors have it anyway; on a
    // card with fewer records a marker-only sector is written there. Without
    // presence, record sectors there get byte 0 cleared and nothing else is
    // written, so the card fails the presence check.
    bool presence = true;
};

// Where the ring lies and what it spans, as the card reader should find it.
struct CardLayout {
    std::uint32_t ringStart = kBaseSector;  // physical sector of the oldest record
    std::uint32_t upperSector = kBaseSector;
    std::uint32_t ringCount = 0;
    std::uint32_t newestSector = kBaseSector;
    bool wrapped = false;
    std::int32_t oldestTime = 0;
    std::int32_t newestTime = 0;
};

// BCD byte of 0..99 (24 -> 0x24).
std::uint8_t ToBcd(int value);

// Marker and BCD date and time of the fields as given (bytes 0..6 of a
// record; year 2000 + byte 1). Fields out of range are encoded as they are.
void EncodeFields(const LocalFields& fields, std::uint8_t* out);

// Writes one sample pair (channel A, channel B) of a record sector.
void PutSamplePair(std::uint8_t* sector, int pair, std::uint16_t a, std::uint16_t b);

// Where the records of a ring lie: `ringCount` sectors from `baseSector`; after
// a wrap the newest `currentPass` records sit at the base and the oldest at
// baseSector + currentPass (0: not wrapped, the oldest at the base).
struct RingShape {
    std::uint32_t baseSector = kBaseSector;
    std::uint32_t ringCount = 0;
    std::uint32_t currentPass = 0;

    std::uint32_t RingStart() const { return baseSector + currentPass; }
    std::uint32_t UpperSector() const { return baseSector + ringCount - 1; }
    // Physical sector of logical index `index` (0 the oldest).
    std::uint32_t PhysicalOf(std::uint32_t index) const;
};

// Writes the records of a ring oldest first: `timeOf` is asked once per
// logical index, in order, and `emit` gets the index, its physical sector, its
// time and bytes 0..6 (marker and BCD local standard time; each second is
// converted once).
using RecordTimeSource = std::function<std::int32_t(std::uint32_t index)>;
using RecordHeaderSink =
    std::function<void(std::uint32_t index, std::uint32_t sector, std::int32_t time, const std::uint8_t* header)>;
void WriteRing(const RingShape& shape, const RecordTimeSource& timeOf, const RecordHeaderSink& emit);

// Where the ring of the contents lies (ring start, last sector, count, newest
// sector, wrapped); the record times are left to the caller.
CardLayout RingLayoutOf(const CardContents& contents);

// Checks a contents description; returns false with a message naming the problem.
bool Validate(const CardContents& contents, std::string* error);

// Physical sector of the record with the given logical index (0 the oldest).
std::uint32_t PhysicalSectorOf(const CardContents& contents, std::uint32_t logicalIndex);

// The time of every record, oldest first (contents.records entries).
std::vector<std::int32_t> RecordTimes(const CardContents& contents);

// The marker and the BCD timestamp (bytes 0..6) of a record taken at `time`,
// in local standard time.
void EncodeTimestamp(std::int32_t time, std::uint8_t* out);

// The 512 bytes of a record taken at `time`: marker, BCD timestamp of the local
// standard time, 126 sample pairs. `sequence` varies the samples a little from
// record to record.
void BuildRecordSector(std::int32_t time, std::uint64_t sequence, std::uint8_t* out);

// The information sector: serial big-endian in bytes 0..3, device byte in 4.
void BuildInfoSector(std::uint32_t serial, std::uint8_t deviceByte, std::uint8_t* out);

// The samples of a record: channel A (current) and channel B (voltage) as
// 126 pairs of counts, 96 to a period of the fundamental (the wave goes on
// through pairs 96 to 125).
void BuildSamples(std::uint64_t sequence, std::uint16_t channelA[kSamplePairs],
                  std::uint16_t channelB[kSamplePairs]);

// Hands every written sector of the card to `emit`, the information sector
// first, then the records oldest first, then any marker-only test sectors.
// Returns the layout; the contents must be valid.
CardLayout GenerateCard(const CardContents& contents, const SectorSink& emit);

// Writes the card as a sparse image file of contents.sectors sectors: only the
// written sectors take space. Returns false with a message on failure.
bool WriteCardImage(const std::string& path, const CardContents& contents, CardLayout* layout, std::string* error);

}  // namespace cardimage
}  // namespace orvanta
