// Records as COMTRADE files (IEEE C37.111-1999, the revision every reader
// accepts): OUT.cfg and OUT.dat with CR LF line ends, ASCII or BINARY data.
// Two analog channels hold the raw counts x of each record's 126 sample
// pairs: 1 "current" from channel A in amperes, 2 "voltage" from channel B in
// volts, with a = ratio * scale factor and b = -zero level * a, so that
// a * x + b is the value the local analysis works with. A count the file
// cannot hold (above 32767 in BINARY's signed 16 bits) is written as the
// missing-value code (0x8000 in BINARY, 99999 in ASCII) and counted.
//
// One record (oneRecord): nrates 1 at 96 times the line frequency, endsamp
// 126. Several: nrates 0, each sample stamped in microseconds from the
// file's first; each record's pairs run at the sampling rate from its second,
// records of one second follow one another. A file spans at most 2^31 - 1 us
// (the timestamp is a signed 32-bit count): a longer range goes into
// OUT_001, OUT_002, ..., each a complete .cfg/.dat pair.
//
// A window exports the record it shows (off the UI thread or not: one record
// is 126 lines):
//   analysis::ComtradeSetup setup;   // serial, ratios, zero levels, frequency
//   setup.oneRecord = true;
//   analysis::CComtradeWriter writer(outBase, setup);   // "dir/name", no extension
//   writer.Add(reader.actualTime, reader.sectorBuffer);
//   analysis::ComtradeResult r = writer.Finish();  // r.error empty: done; r.missing: warn
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace orvanta {
namespace analysis {

struct ComtradeSetup {
    std::uint32_t serial = 0;
    double ratioA = 1.0;
    double ratioB = 1.0;
    double zeroLevelA = 506.3;
    double zeroLevelB = 509.0;
    int lineFrequency = 50;  // Hz; the sampling rate is 96 times it
    bool binary = false;
    bool oneRecord = false;  // nrates 1 (one record), else nrates 0 with timestamps
    // The longest time one file spans, in microseconds from its first sample.
    std::int64_t maxSpanMicroseconds = 2147483647;
};

struct ComtradeResult {
    std::vector<std::string> files;  // the .cfg and .dat paths written, in order
    std::uint64_t records = 0;
    std::uint64_t samples = 0;
    std::uint64_t missing = 0;       // counts written as the missing-value code
    std::string error;               // empty when every file was written
};

// The microseconds of sample k (0-based) of a record from the record's start.
std::int64_t SampleOffsetMicroseconds(int k, int lineFrequency);

class CComtradeWriter {
public:
    // `outBase` is the path without extension.
    CComtradeWriter(std::string outBase, const ComtradeSetup& setup);
    ~CComtradeWriter();
    CComtradeWriter(const CComtradeWriter&) = delete;
    CComtradeWriter& operator=(const CComtradeWriter&) = delete;

    // A record sector (512 bytes) taken at `time`, in ring order; false once
    // a write has failed.
    bool Add(std::int32_t time, const unsigned char* sector);

    // Writes the last .cfg and names the files OUT.* when one pair holds all.
    // When a write has failed, every file the writer made is removed again:
    // none is left half written or without its other half.
    ComtradeResult Finish();

private:
    struct Part {
        std::int32_t firstTime = 0;  // second of the first record
        std::int64_t startMicros = 0;  // the first sample, from the export's first second
        std::uint64_t samples = 0;
        int minCount[2] = {0, 0};
        int maxCount[2] = {0, 0};
        bool anyCount[2] = {false, false};
    };

    bool OpenPart(std::int32_t time, std::int64_t startMicros);
    bool ClosePart();
    void WriteSample(std::int64_t micros, const unsigned char* sector, int pair);
    std::string PartBase(std::size_t number) const;
    void Fail(const std::string& message);
    void RemoveCreated();

    std::string outBase_;
    ComtradeSetup setup_;
    ComtradeResult result_;
    std::FILE* dat_ = nullptr;
    Part part_;
    std::size_t partCount_ = 0;
    std::vector<std::string> created_;  // the files made so far, under their present names
    std::string block_;                // .dat bytes not yet written
    bool started_ = false;
    std::int32_t exportStart_ = 0;     // second of the export's first record
    std::int64_t nextFree_ = 0;        // microseconds after the last record's last sample
};

// The .cfg text of a file whose first sample lies `firstMicros` after the
// second `firstTime` (local standard time), CR LF line ends.
std::string ComtradeConfigText(const ComtradeSetup& setup, std::int32_t firstTime, std::int64_t firstMicros,
                               std::uint64_t samples, const int minCount[2], const int maxCount[2]);

}  // namespace analysis
}  // namespace orvanta
