// The waveform text: the 126 two-channel sample pairs of the record sector in
// sectorBuffer, corrected for each channel's zero level, scaled by the
// calibration ratios and written as "A B " pairs of decimal integers.
#include <cstddef>
#include <cstdint>

#include "card/bounded_text.h"
#include "card/card_reader.h"

namespace orvanta {

namespace {

constexpr int kPairsPerSector = 126;
constexpr std::size_t kFirstPairOffset = 8;  // bytes 0..7: marker, timestamp, spare
constexpr std::size_t kBytesPerPair = 4;

// Unsigned 16-bit little-endian sample, 0..65535 (no sign extension).
inline unsigned SampleAt(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0]) + 256u * static_cast<unsigned>(bytes[1]);
}

}  // namespace

void CCardReader::BuildWaveText() {
    BoundedText text(waveText, sizeof waveText);
    for (int k = 0; k < kPairsPerSector; ++k) {
        const unsigned char* pair = sectorBuffer + kFirstPairOffset + kBytesPerPair * static_cast<std::size_t>(k);
        const double sA = static_cast<double>(SampleAt(pair));
        const double sB = static_cast<double>(SampleAt(pair + 2));
        // Subtract the zero level, multiply by the ratio, add 0.5, truncate
        // toward zero: this order is part of the text's definition.
        const double scaledA = (sA - offsetA) * ratioA + 0.5;
        const double scaledB = (sB - offsetB) * ratioB + 0.5;
        // Only extreme ratios can make a pair not fit; the text then ends
        // with the last whole pair, so the pairs never shift out of step.
        if (!text.AppendPair(TruncateToInt32(scaledA), TruncateToInt32(scaledB))) break;
    }
}

}  // namespace orvanta
