// The RMS trend text: from the selected record on, up to 1000 consecutive
// sectors are fetched in one read request; every valid record among them gives
// one point of scaled RMS values of its two channels, and the text is padded
// with single zeros to a fixed minimum count.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "card/bounded_text.h"
#include "card/card_reader.h"
#include "platform/raw_volume.h"

namespace orvanta {

namespace {

constexpr std::uint32_t kSectorsPerRead = 1000;
constexpr std::size_t kSectorBytes = 512;
constexpr unsigned char kRecordMarker = 0x20;
constexpr std::size_t kFirstTrendOffset = 12;  // pair 1; pair 0 does not enter the trend
constexpr int kSamplesPerChannel = 96;         // pairs 1..96, also the mean-square divisor
constexpr std::int32_t kAmplitudeLimit = 518;
constexpr double kScaleA = 0.019419;
constexpr double kScaleB = 2.531745;
constexpr int kFillTarget = 1000;

inline unsigned SampleAt(const unsigned char* bytes) {
    return static_cast<unsigned>(bytes[0]) + 256u * static_cast<unsigned>(bytes[1]);
}

// The integer RMS of one channel: the root of the integer mean square, rounded
// half up.
inline std::int32_t RootOfMeanSquare(std::int32_t sumOfSquares) {
    const std::int32_t meanSquare = sumOfSquares / kSamplesPerChannel;
    return TruncateToInt32(std::sqrt(static_cast<double>(meanSquare)) + 0.5);
}

struct TrendPoint {
    std::int32_t valueA;
    std::int32_t valueB;
};

// The zero correction of one sample: the sample minus channel B's zero level
// in double precision, truncated toward zero. With a whole-numbered zero
// level (509.0) the difference is exact, so integer arithmetic gives the same
// value without a conversion per sample (192,000 samples a trend).
class ZeroCorrection {
public:
    explicit ZeroCorrection(double zeroLevel)
        : zeroLevel_(zeroLevel),
          whole_(std::floor(zeroLevel) == zeroLevel && std::fabs(zeroLevel) <= 1e9),
          wholeLevel_(whole_ ? static_cast<std::int32_t>(zeroLevel) : 0) {}

    std::int32_t operator()(unsigned sample) const {
        if (whole_) return static_cast<std::int32_t>(sample) - wholeLevel_;
        return TruncateToInt32(static_cast<double>(sample) - zeroLevel_);
    }

private:
    double zeroLevel_;
    bool whole_;
    std::int32_t wholeLevel_;
};

// One record sector's trend point, or false when it gives none: no record
// marker, a sample beyond the amplitude limit, or a flat channel B.
bool PointOfRecord(const unsigned char* sector, const CCardReader& reader, const ZeroCorrection& correct,
                   TrendPoint* point) {
    if (sector[0] != kRecordMarker) return false;
    std::int32_t sumA = 0;
    std::int32_t sumB = 0;
    for (int i = 0; i < kSamplesPerChannel; ++i) {
        const unsigned char* pair = sector + kFirstTrendOffset + 4 * static_cast<std::size_t>(i);
        // Both channels are zero-corrected with channel B's zero level.
        const std::int32_t a = correct(SampleAt(pair));
        const std::int32_t b = correct(SampleAt(pair + 2));
        if (a > kAmplitudeLimit || a < -kAmplitudeLimit || b > kAmplitudeLimit || b < -kAmplitudeLimit) {
            return false;
        }
        sumA += a * a;  // at most 96 * 518 * 518, far inside 32 bits
        sumB += b * b;
    }
    const std::int32_t rmsA = RootOfMeanSquare(sumA);
    const std::int32_t rmsB = RootOfMeanSquare(sumB);
    if (rmsB <= 0) return false;
    point->valueA = TruncateToInt32(static_cast<double>(rmsA) * reader.ratioA * kScaleA + 0.5);
    point->valueB = TruncateToInt32(static_cast<double>(rmsB) * reader.ratioB * kScaleB + 0.5);
    return true;
}

}  // namespace

void CCardReader::BuildTrendText() {
    std::unique_ptr<RawVolume> volume = Volumes().Open(devicePath);
    if (!volume) {
        std::fputs("\nThe disk is not allowed to visit!\n", stdout);
        std::fflush(stdout);
    }

    // One request for all 1000 sectors. Only its success counts: sectors a
    // short read did not reach stay zero and fail the marker test. A refused
    // positioning counts as a failed read, and nothing is read then.
    std::vector<unsigned char> sectors(static_cast<std::size_t>(kSectorsPerRead) * kSectorBytes, 0);
    bool readDone = false;
    if (volume && volume->SetPosition(static_cast<std::uint64_t>(currentSector) * kSectorBytes)) {
        readDone = volume->Read(sectors.data(), sectors.size()) >= 0;
    }

    BoundedText text(trendText, sizeof trendText);
    text.AppendPair(0, 0);  // the first point of every trend
    int count = 1;

    const std::uint32_t currentLogical = PhysicalToLogical(currentSector);
    const ZeroCorrection correct(offsetB);
    for (std::uint32_t j = 0; j < kSectorsPerRead; ++j) {
        const std::uint32_t s = currentSector + j;
        if (!readDone) break;
        if (s >= baseSector + ringCount) break;                 // past the ring's last sector
        if (PhysicalToLogical(s) < currentLogical) break;       // past the newest record
        TrendPoint point;
        if (!PointOfRecord(sectors.data() + static_cast<std::size_t>(j) * kSectorBytes, *this, correct, &point)) {
            continue;
        }
        text.AppendPair(point.valueA, point.valueB);
        ++count;
    }

    // Padding: one single zero per point missing to the target count.
    while (count < kFillTarget) {
        text.Append(0);
        ++count;
    }

    volume.reset();  // closes the device
}

}  // namespace orvanta
