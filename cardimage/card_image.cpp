#include "cardimage/card_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace orvanta {
namespace cardimage {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The recorder samples 96 times a period of the fundamental; a record's 126
// pairs run on past one period (pairs 1 to 96 are one whole period).
constexpr int kSamplesPerPeriod = 96;

// Hands out the second of each record in turn: the pattern of records per
// second, the gaps, and a fresh second where the current pass of a wrapped
// ring begins.
class RecordClock {
public:
    RecordClock(const CardContents& contents, std::int64_t start) : contents_(contents), time_(start) {}

    // The time of the next record; `newSecond` is set when it differs from
    // the time of the record before.
    std::int64_t Next(bool forceNewSecond, bool* newSecond) {
        bool fresh = false;
        if (!started_ || left_ == 0 || forceNewSecond) {
            BeginNextSecond();
            fresh = true;
        }
        --left_;
        if (newSecond) *newSecond = fresh;
        return time_;
    }

private:
    void BeginNextSecond() {
        do {
            if (started_) ++time_;
            started_ = true;
            if (contents_.gapEvery != 0 && filledSeconds_ == contents_.gapEvery) {
                time_ += contents_.gapSeconds;
                filledSeconds_ = 0;
            }
            left_ = contents_.perSecond[pattern_ % contents_.perSecond.size()];
            ++pattern_;
        } while (left_ == 0);
        ++filledSeconds_;
    }

    const CardContents& contents_;
    std::int64_t time_;
    bool started_ = false;
    std::uint32_t left_ = 0;
    std::uint64_t pattern_ = 0;
    std::uint32_t filledSeconds_ = 0;
};

bool ForceNewSecond(const CardContents& contents, std::uint32_t logicalIndex) {
    return contents.wrap != 0 && logicalIndex == contents.records - contents.wrap;
}


std::uint16_t ToCount(double value) {
    double rounded = std::floor(value + 0.5);
    return static_cast<std::uint16_t>(std::min(1023.0, std::max(0.0, rounded)));
}

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

}  // namespace

bool Validate(const CardContents& contents, std::string* error) {
    if (contents.records == 0) return Fail(error, "the card needs at least one record");
    if (contents.perSecond.empty()) return Fail(error, "the records-per-second pattern is empty");
    if (std::all_of(contents.perSecond.begin(), contents.perSecond.end(), [](std::uint32_t n) { return n == 0; })) {
        return Fail(error, "the records-per-second pattern has no second with records");
    }
    if (contents.wrap >= contents.records) {
        return Fail(error, "the current pass (" + std::to_string(contents.wrap) +
                               " records) must be shorter than the ring (" + std::to_string(contents.records) + ")");
    }
    if (contents.start.year < 2013 || contents.start.year > 2037) {
        return Fail(error, "the start year must lie in 2013 to 2037 (the recorder's and the 32-bit time range)");
    }
    std::uint64_t lastRecordSector = static_cast<std::uint64_t>(kBaseSector) + contents.records - 1;
    if (lastRecordSector >= 0xFFFFFFFFULL) return Fail(error, "too many records");
    std::uint64_t needed = std::max<std::uint64_t>(lastRecordSector, kInfoSector) + 1;
    if (contents.presence) needed = std::max<std::uint64_t>(needed, kTestSector2 + 1);
    if (contents.sectors < needed) {
        return Fail(error, "the card of " + std::to_string(contents.sectors) + " sectors is too small; it needs at least " +
                               std::to_string(needed));
    }
    std::int32_t start = LocalStandardTime(contents.start);
    if (start == -1) return Fail(error, "the start time cannot be represented");
    RecordClock clock(contents, start);
    std::int64_t last = start;
    for (std::uint32_t i = 0; i < contents.records; ++i) last = clock.Next(ForceNewSecond(contents, i), nullptr);
    if (last > std::numeric_limits<std::int32_t>::max()) {
        return Fail(error, "the newest record would lie after 2038-01-19, beyond the 32-bit time range");
    }
    return true;
}

std::uint32_t PhysicalSectorOf(const CardContents& contents, std::uint32_t logicalIndex) {
    return RingShape{kBaseSector, contents.records, contents.wrap}.PhysicalOf(logicalIndex);
}

std::uint8_t ToBcd(int value) { return static_cast<std::uint8_t>((value / 10) * 16 + value % 10); }

void EncodeFields(const LocalFields& f, std::uint8_t* out) {
    out[0] = kRecordMarker;
    out[1] = ToBcd(f.year - 2000);
    out[2] = ToBcd(f.month);
    out[3] = ToBcd(f.day);
    out[4] = ToBcd(f.hour);
    out[5] = ToBcd(f.minute);
    out[6] = ToBcd(f.second);
}

void PutSamplePair(std::uint8_t* sector, int pair, std::uint16_t a, std::uint16_t b) {
    std::uint8_t* at = sector + kFirstPairOffset + kBytesPerPair * static_cast<std::size_t>(pair);
    at[0] = static_cast<std::uint8_t>(a & 0xFF);
    at[1] = static_cast<std::uint8_t>(a >> 8);
    at[2] = static_cast<std::uint8_t>(b & 0xFF);
    at[3] = static_cast<std::uint8_t>(b >> 8);
}

std::uint32_t RingShape::PhysicalOf(std::uint32_t index) const {
    std::uint32_t p = RingStart() + index;
    if (p > UpperSector()) p -= ringCount;
    return p;
}

void WriteRing(const RingShape& shape, const RecordTimeSource& timeOf, const RecordHeaderSink& emit) {
    std::uint8_t header[7] = {};
    std::int32_t lastTime = 0;
    for (std::uint32_t i = 0; i < shape.ringCount; ++i) {
        const std::int32_t time = timeOf(i);
        if (i == 0 || time != lastTime) {
            EncodeFields(LocalStandardFields(time), header);
            lastTime = time;
        }
        emit(i, shape.PhysicalOf(i), time, header);
    }
}

std::vector<std::int32_t> RecordTimes(const CardContents& contents) {
    std::vector<std::int32_t> times;
    times.reserve(contents.records);
    RecordClock clock(contents, LocalStandardTime(contents.start));
    for (std::uint32_t i = 0; i < contents.records; ++i) {
        times.push_back(static_cast<std::int32_t>(clock.Next(ForceNewSecond(contents, i), nullptr)));
    }
    return times;
}

void BuildSamples(std::uint64_t sequence, std::uint16_t channelA[kSamplePairs],
                  std::uint16_t channelB[kSamplePairs]) {
    // Slow drifts so that the RMS trend moves: the voltage by about 2 %, the
    // load current by about 25 %.
    const double s = static_cast<double>(sequence);
    const double voltagePeak = 87.0 * std::sqrt(2.0) * (1.0 + 0.02 * std::sin(2.0 * kPi * s / 997.0));
    const double currentPeak = 38.0 * (1.0 + 0.25 * std::sin(2.0 * kPi * s / 613.0 + 1.0));
    for (int k = 0; k < kSamplePairs; ++k) {
        const double th = 2.0 * kPi * k / kSamplesPerPeriod;
        const double voltage = std::sin(th) + 0.030 * std::sin(3.0 * th + 0.4) + 0.045 * std::sin(5.0 * th + 1.1) +
                               0.020 * std::sin(7.0 * th + 2.0);
        const double current = std::sin(th - 0.45) + 0.14 * std::sin(3.0 * th - 0.9) +
                               0.09 * std::sin(5.0 * th + 0.6) + 0.05 * std::sin(7.0 * th - 1.7);
        // Zero levels as the reader assumes them: 506.3 for A, 509.0 for B.
        channelA[k] = ToCount(506.3 + currentPeak * current);
        channelB[k] = ToCount(509.0 + voltagePeak * voltage);
    }
}

void EncodeTimestamp(std::int32_t time, std::uint8_t* out) { EncodeFields(LocalStandardFields(time), out); }

namespace {

void EncodeSamples(std::uint64_t sequence, std::uint8_t* out) {
    std::uint16_t a[kSamplePairs];
    std::uint16_t b[kSamplePairs];
    BuildSamples(sequence, a, b);
    for (int k = 0; k < kSamplePairs; ++k) PutSamplePair(out, k, a[k], b[k]);
}

}  // namespace

void BuildRecordSector(std::int32_t time, std::uint64_t sequence, std::uint8_t* out) {
    std::memset(out, 0, kSectorSize);
    EncodeTimestamp(time, out);
    EncodeSamples(sequence, out);
}

void BuildInfoSector(std::uint32_t serial, std::uint8_t deviceByte, std::uint8_t* out) {
    std::memset(out, 0, kSectorSize);
    out[0] = static_cast<std::uint8_t>(serial >> 24);
    out[1] = static_cast<std::uint8_t>(serial >> 16);
    out[2] = static_cast<std::uint8_t>(serial >> 8);
    out[3] = static_cast<std::uint8_t>(serial);
    out[4] = deviceByte;
}

CardLayout RingLayoutOf(const CardContents& contents) {
    CardLayout layout;
    layout.ringCount = contents.records;
    layout.ringStart = kBaseSector + contents.wrap;
    layout.upperSector = kBaseSector + contents.records - 1;
    layout.wrapped = contents.wrap != 0;
    layout.newestSector = PhysicalSectorOf(contents, contents.records - 1);
    return layout;
}

CardLayout GenerateCard(const CardContents& contents, const SectorSink& emit) {
    std::uint8_t sector[kSectorSize];
    BuildInfoSector(contents.serial, contents.deviceByte, sector);
    emit(kInfoSector, sector);

    CardLayout layout = RingLayoutOf(contents);

    RecordClock clock(contents, LocalStandardTime(contents.start));
    WriteRing(
        RingShape{kBaseSector, contents.records, contents.wrap},
        [&](std::uint32_t i) { return static_cast<std::int32_t>(clock.Next(ForceNewSecond(contents, i), nullptr)); },
        [&](std::uint32_t i, std::uint32_t physical, std::int32_t time, const std::uint8_t* header) {
            if (i == 0) layout.oldestTime = time;
            layout.newestTime = time;
            std::memset(sector, 0, kSectorSize);
            std::memcpy(sector, header, 7);
            EncodeSamples(i, sector);
            if (!contents.presence && (physical == kTestSector1 || physical == kTestSector2)) sector[0] = 0;
            emit(physical, sector);
        });

    if (contents.presence) {
        for (std::uint32_t test : {kTestSector1, kTestSector2}) {
            if (test <= layout.upperSector) continue;  // a record sector, marked already
            std::memset(sector, 0, kSectorSize);
            sector[0] = kRecordMarker;
            emit(test, sector);
        }
    }
    return layout;
}

bool WriteCardImage(const std::string& path, const CardContents& contents, CardLayout* layout, std::string* error) {
    if (!Validate(contents, error)) return false;
    CardLayout result;
    if (!WriteSparseImage(path, contents.sectors,
                          [&](const SectorSink& emit) { result = GenerateCard(contents, emit); }, error)) {
        return false;
    }
    if (layout) *layout = result;
    return true;
}

}  // namespace cardimage
}  // namespace orvanta
