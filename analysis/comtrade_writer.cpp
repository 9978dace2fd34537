#include "analysis/comtrade_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "card/card_layout.h"
#include "card/local_time.h"

namespace orvanta {
namespace analysis {
namespace {

constexpr int kSamplesPerPeriod = 96;
constexpr std::int64_t kMicrosPerSecond = 1000000;
constexpr std::size_t kWriteBlock = 1 << 20;
constexpr int kBinaryMissing = -32768;  // 0x8000
constexpr int kAsciiMissing = 99999;
constexpr int kBinaryMaxCount = 32767;
constexpr int kAsciiMaxCount = 99998;

std::string Real(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// "dd/mm/yyyy,hh:mm:ss.ssssss" of a second and microseconds after it.
std::string DateTime(std::int32_t second, std::int64_t micros) {
    const LocalFields f = LocalStandardFields(static_cast<std::int32_t>(second + micros / kMicrosPerSecond));
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d,%02d:%02d:%02d.%06d", f.day, f.month, f.year, f.hour, f.minute,
                  f.second, static_cast<int>(micros % kMicrosPerSecond));
    return text;
}

void PutLittleEndian(std::string* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

}  // namespace

std::int64_t SampleOffsetMicroseconds(int k, int lineFrequency) {
    const std::int64_t rate = std::int64_t{kSamplesPerPeriod} * lineFrequency;
    return (2 * std::int64_t{k} * kMicrosPerSecond + rate) / (2 * rate);  // rounded to the nearest
}

std::string ComtradeConfigText(const ComtradeSetup& setup, std::int32_t firstTime, std::int64_t firstMicros,
                               std::uint64_t samples, const int minCount[2], const int maxCount[2]) {
    const std::string serial = std::to_string(setup.serial);
    const double a[2] = {setup.ratioA * kTrendScaleA, setup.ratioB * kTrendScaleB};
    const double zero[2] = {setup.zeroLevelA, setup.zeroLevelB};
    const char* const names[2] = {"current", "voltage"};
    const char* const sources[2] = {"channel A", "channel B"};
    const char* const units[2] = {"A", "V"};
    std::string text = "Orvanta " + serial + "," + serial + ",1999\r\n2,2A,0D\r\n";
    for (int c = 0; c < 2; ++c) {
        text += std::to_string(c + 1) + "," + names[c] + ",," + sources[c] + "," + units[c] + "," + Real(a[c]) + "," +
                Real(-zero[c] * a[c]) + ",0," + std::to_string(minCount[c]) + "," + std::to_string(maxCount[c]) +
                ",1,1,P\r\n";
    }
    text += std::to_string(setup.lineFrequency) + "\r\n";
    if (setup.oneRecord) {
        text += "1\r\n" + std::to_string(kSamplesPerPeriod * setup.lineFrequency) + "," + std::to_string(samples) +
                "\r\n";
    } else {
        text += "0\r\n0," + std::to_string(samples) + "\r\n";
    }
    const std::string start = DateTime(firstTime, firstMicros);
    text += start + "\r\n" + start + "\r\n";
    text += setup.binary ? "BINARY\r\n" : "ASCII\r\n";
    text += "1\r\n";
    return text;
}

CComtradeWriter::CComtradeWriter(std::string outBase, const ComtradeSetup& setup)
    : outBase_(std::move(outBase)), setup_(setup) {}

CComtradeWriter::~CComtradeWriter() {
    if (dat_ != nullptr) std::fclose(dat_);
}

std::string CComtradeWriter::PartBase(std::size_t number) const {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%03u", static_cast<unsigned>(number));
    return outBase_ + suffix;
}

void CComtradeWriter::Fail(const std::string& message) {
    if (result_.error.empty()) result_.error = message;
}

bool CComtradeWriter::OpenPart(std::int32_t time, std::int64_t startMicros) {
    ++partCount_;
    const std::string path = PartBase(partCount_) + ".dat";
    dat_ = std::fopen(path.c_str(), "wb");
    if (dat_ == nullptr) {
        Fail("cannot write \"" + path + "\": " + std::strerror(errno));
        return false;
    }
    created_.push_back(path);
    part_ = Part();
    part_.firstTime = time;
    part_.startMicros = startMicros;
    return true;
}

bool CComtradeWriter::ClosePart() {
    if (dat_ == nullptr) return result_.error.empty();
    const std::string base = PartBase(partCount_);
    bool ok = std::fwrite(block_.data(), 1, block_.size(), dat_) == block_.size();
    block_.clear();
    ok = std::fclose(dat_) == 0 && ok;
    dat_ = nullptr;
    if (!ok) Fail("cannot write \"" + base + ".dat\"");
    int minCount[2], maxCount[2];
    for (int c = 0; c < 2; ++c) {
        minCount[c] = part_.anyCount[c] ? part_.minCount[c] : 0;
        maxCount[c] = part_.anyCount[c] ? part_.maxCount[c] : 0;
    }
    // The part's first sample lies startMicros after the export's first second.
    const std::int64_t seconds = part_.startMicros / kMicrosPerSecond;
    const std::string cfg =
        ComtradeConfigText(setup_, static_cast<std::int32_t>(exportStart_ + seconds),
                           part_.startMicros - seconds * kMicrosPerSecond, part_.samples, minCount, maxCount);
    const std::string path = base + ".cfg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) created_.push_back(path);
    bool written = file != nullptr && std::fwrite(cfg.data(), 1, cfg.size(), file) == cfg.size();
    if (file != nullptr) written = std::fclose(file) == 0 && written;
    if (!written) Fail("cannot write \"" + path + "\"");
    result_.files.push_back(path);
    result_.files.push_back(base + ".dat");
    return result_.error.empty();
}

void CComtradeWriter::WriteSample(std::int64_t micros, const unsigned char* sector, int pair) {
    ++part_.samples;
    ++result_.samples;
    const auto number = static_cast<std::uint32_t>(part_.samples);
    const auto stamp = static_cast<std::int32_t>(micros - part_.startMicros);
    int stored[2];
    for (int c = 0; c < 2; ++c) {
        const int count = static_cast<int>(PairSample(sector, pair, c));
        if (count > (setup_.binary ? kBinaryMaxCount : kAsciiMaxCount)) {
            stored[c] = setup_.binary ? kBinaryMissing : kAsciiMissing;
            ++result_.missing;
            continue;
        }
        stored[c] = count;
        if (!part_.anyCount[c] || count < part_.minCount[c]) part_.minCount[c] = count;
        if (!part_.anyCount[c] || count > part_.maxCount[c]) part_.maxCount[c] = count;
        part_.anyCount[c] = true;
    }
    if (setup_.binary) {
        PutLittleEndian(&block_, number, 4);
        PutLittleEndian(&block_, static_cast<std::uint32_t>(stamp), 4);
        PutLittleEndian(&block_, static_cast<std::uint32_t>(stored[0]), 2);
        PutLittleEndian(&block_, static_cast<std::uint32_t>(stored[1]), 2);
    } else {
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%u,%d,%d,%d\r\n", static_cast<unsigned>(number),
                                    static_cast<int>(stamp), stored[0], stored[1]);
        block_.append(line, static_cast<std::size_t>(n));
    }
}

bool CComtradeWriter::Add(std::int32_t time, const unsigned char* sector) {
    if (!result_.error.empty()) return false;
    if (!started_) {
        started_ = true;
        exportStart_ = time;
    }
    // At its second, or after the record before it when that one's pairs
    // reach into this second (records of one second follow one another).
    const std::int64_t start =
        std::max<std::int64_t>((std::int64_t{time} - exportStart_) * kMicrosPerSecond, nextFree_);
    const std::int64_t last = start + SampleOffsetMicroseconds(kSamplePairs - 1, setup_.lineFrequency);
    if (dat_ != nullptr && last - part_.startMicros > setup_.maxSpanMicroseconds) {
        if (!ClosePart()) return false;
    }
    if (dat_ == nullptr && !OpenPart(time, start)) return false;
    for (int pair = 0; pair < kSamplePairs; ++pair) {
        WriteSample(start + SampleOffsetMicroseconds(pair, setup_.lineFrequency), sector, pair);
    }
    nextFree_ = start + SampleOffsetMicroseconds(kSamplePairs, setup_.lineFrequency);
    ++result_.records;
    if (block_.size() >= kWriteBlock) {
        if (std::fwrite(block_.data(), 1, block_.size(), dat_) != block_.size()) Fail("cannot write the .dat file");
        block_.clear();
    }
    return result_.error.empty();
}

ComtradeResult CComtradeWriter::Finish() {
    ClosePart();
    if (result_.error.empty() && partCount_ == 1) {
        // One pair holds everything: OUT.cfg and OUT.dat.
        const char* const extensions[2] = {".cfg", ".dat"};
        for (int i = 0; i < 2; ++i) {
            const std::string from = PartBase(1) + extensions[i];
            const std::string to = outBase_ + extensions[i];
#ifdef _WIN32
            std::remove(to.c_str());
#endif
            if (std::rename(from.c_str(), to.c_str()) != 0) {
                Fail("cannot rename \"" + from + "\" to \"" + to + "\"");
                break;
            }
            std::replace(created_.begin(), created_.end(), from, to);
            result_.files[i] = to;
        }
    }
    if (result_.error.empty() && partCount_ == 0) Fail("no records to write");
    if (!result_.error.empty()) RemoveCreated();
    return result_;
}

void CComtradeWriter::RemoveCreated() {
    if (dat_ != nullptr) std::fclose(dat_);
    dat_ = nullptr;
    for (const std::string& path : created_) std::remove(path.c_str());
    created_.clear();
    result_.files.clear();
}

}  // namespace analysis
}  // namespace orvanta
