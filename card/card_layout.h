// The recorder's card layout and the scale of its samples: one definition for
// the reader, the synthetic cards, the reference server, benchmarks and tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvanta {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kInfoSector = 90000;     // serial (bytes 0..3) and device byte (4)
constexpr std::uint32_t kBaseSector = 100000;    // first sector of the record ring
constexpr std::uint32_t kRingSearchLimit = 60000000;
constexpr std::uint32_t kTestSector1 = kBaseSector + 1000;  // both carry the marker
constexpr std::uint32_t kTestSector2 = kBaseSector + 1001;  // on a recorder's card
constexpr unsigned char kRecordMarker = 0x20;    // byte 0 of every written record

// Bytes 1..6 of a record: BCD year (2000 + value), month, day, hour, minute,
// second. Bytes 8..511: 126 pairs of little-endian 16-bit samples, channel A
// first.
constexpr int kSamplePairs = 126;
constexpr std::size_t kFirstPairOffset = 8;
constexpr std::size_t kBytesPerPair = 4;

// Zero levels of the two channels, in counts.
constexpr double kZeroLevelA = 506.3;
constexpr double kZeroLevelB = 509.0;

// Trend scaling of a record's integer RMS: channel A in amperes, channel B in
// volts per count.
constexpr double kTrendScaleA = 0.019419;
constexpr double kTrendScaleB = 2.531745;

// The recorder's serial number: bytes 0..3 of the information sector, big-endian.
inline std::uint32_t SerialAt(const unsigned char* info) {
    return (static_cast<std::uint32_t>(info[0]) << 24) | (static_cast<std::uint32_t>(info[1]) << 16) |
           (static_cast<std::uint32_t>(info[2]) << 8) | static_cast<std::uint32_t>(info[3]);
}

// Unsigned 16-bit little-endian sample at `bytes`, 0..65535 (no sign extension).
inline unsigned SampleAt(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0]) + 256u * static_cast<unsigned>(bytes[1]);
}

// Channel A's (channel 0) or channel B's (channel 1) sample of pair k of a
// record sector.
inline unsigned PairSample(const unsigned char* sector, int pair, int channel) {
    return SampleAt(sector + kFirstPairOffset + kBytesPerPair * static_cast<std::size_t>(pair) +
                    2 * static_cast<std::size_t>(channel));
}

}  // namespace orvanta
