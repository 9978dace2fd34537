// The waveform text: the 126 two-channel sample pairs of the record sector in
// sectorBuffer, corrected for each channel's zero level, scaled by the
// calibration ratios and written as "A B " pairs of decimal integers.
#include <cstddef>
#include <cstdint>

#include "card/bounded_text.h"
#include "card/card_layout.h"
#include "card/card_reader.h"

namespace orvanta {

void CCardReader::BuildWaveText() {
    BoundedText text(waveText, sizeof waveText);
    for (int k = 0; k < kSamplePairs; ++k) {
        const double sA = static_cast<double>(PairSample(sectorBuffer, k, 0));
        const double sB = static_cast<double>(PairSample(sectorBuffer, k, 1));
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
