// COMTRADE files of records: the exact .cfg of a known record, the .dat read
// back through each channel's a and b equal to the local analysis's samples
// (ASCII and BINARY), the missing-value code, records of one second following
// one another, the split of a range at 2^31 - 1 microseconds, and no file
// left behind by a write that fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/comtrade_writer.h"
#include "analysis/record_period.h"
#include "card/card_layout.h"
#include "card/local_time.h"
#include "cardimage/card_image.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

using testenv::ScopedTimeZone;
using testenv::TempDir;

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    return fields;
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// One sample of the .dat: its number, timestamp and the two stored counts.
struct DatSample {
    long long number, stamp;
    int x[2];
};

std::vector<DatSample> ReadDat(const std::string& path, bool binary) {
    const std::string bytes = testenv::ReadFileBytes(path);
    std::vector<DatSample> samples;
    if (binary) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        for (std::size_t at = 0; at + 12 <= bytes.size(); at += 12) {
            std::uint32_t n = 0, t = 0;
            for (int i = 3; i >= 0; --i) {
                n = (n << 8) | p[at + i];
                t = (t << 8) | p[at + 4 + i];
            }
            const auto a = static_cast<std::int16_t>(p[at + 8] | (p[at + 9] << 8));
            const auto b = static_cast<std::int16_t>(p[at + 10] | (p[at + 11] << 8));
            samples.push_back({n, static_cast<std::int32_t>(t), {a, b}});
        }
    } else {
        for (const std::string& line : CrLfLines(bytes)) {
            const std::vector<std::string> f = Fields(line);
            samples.push_back({std::stoll(f[0]), std::stoll(f[1]), {std::stoi(f[2]), std::stoi(f[3])}});
        }
    }
    return samples;
}

// A record whose pairs are A_k = 500 + k and B_k = 300 + 2k.
std::array<unsigned char, kSectorSize> RampRecord(std::int32_t time) {
    std::array<unsigned char, kSectorSize> sector{};
    cardimage::EncodeTimestamp(time, sector.data());
    for (int k = 0; k < kSamplePairs; ++k) {
        cardimage::PutSamplePair(sector.data(), k, static_cast<std::uint16_t>(500 + k), static_cast<std::uint16_t>(300 + 2 * k));
    }
    return sector;
}

analysis::ComtradeSetup KnownSetup() {
    analysis::ComtradeSetup setup;
    setup.serial = 20240313;
    setup.ratioA = 1.02;
    setup.ratioB = 0.98;
    return setup;
}

TEST(ComtradeWriter, ConfigurationOfAKnownRecordIsExact) {
    ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t time = LocalStandardTime(LocalFields{2024, 3, 14, 15, 20, 7});
    const auto sector = RampRecord(time);
    struct Case {
        bool binary;
        int frequency;
        const char* rateAndFormat;  // lf, nrates, samp line; start, trigger; ft
    };
    const Case cases[] = {
        {false, 50, "50\r\n1\r\n4800,126\r\n14/03/2024,15:20:07.000000\r\n14/03/2024,15:20:07.000000\r\nASCII\r\n"},
        {true, 60, "60\r\n1\r\n5760,126\r\n14/03/2024,15:20:07.000000\r\n14/03/2024,15:20:07.000000\r\nBINARY\r\n"},
    };
    for (const Case& c : cases) {
        TempDir temp;
        analysis::ComtradeSetup setup = KnownSetup();
        setup.binary = c.binary;
        setup.lineFrequency = c.frequency;
        setup.oneRecord = true;
        analysis::CComtradeWriter writer(temp / "rec", setup);
        ASSERT_TRUE(writer.Add(time, sector.data()));
        const analysis::ComtradeResult result = writer.Finish();
        ASSERT_EQ(result.error, "");
        EXPECT_EQ(result.files, (std::vector<std::string>{temp / "rec.cfg", temp / "rec.dat"}));
        EXPECT_EQ(testenv::ReadFileBytes(temp / "rec.cfg"),
                  "Orvanta 20240313,20240313,1999\r\n"
                  "2,2A,0D\r\n"
                  "1,current,,channel A,A,0.01980738,-10.0284765,0,500,625,1,1,P\r\n"
                  "2,voltage,,channel B,V,2.4811101,-1262.88504,0,300,550,1,1,P\r\n" +
                      std::string(c.rateAndFormat) + "1\r\n");
        EXPECT_FALSE(testenv::PathExists(temp / "rec_001.cfg"));
    }
}

TEST(ComtradeWriter, ValuesReadBackThroughAAndBEqualTheAnalysisSamples) {
    ScopedTimeZone zone("Europe/Berlin");
    const std::int32_t time = LocalStandardTime(LocalFields{2024, 7, 1, 12, 0, 0});
    std::array<unsigned char, kSectorSize> sector{};
    cardimage::BuildRecordSector(time, 17, sector.data());
    // One count beyond what BINARY's 16 signed bits hold.
    cardimage::PutSamplePair(sector.data(), 120, 40000, 509);
    analysis::PeriodSamples period;
    analysis::CRecordPeriod(1.02, 0.98).Take(sector.data(), &period);
    for (const bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "BINARY" : "ASCII");
        TempDir temp;
        analysis::ComtradeSetup setup = KnownSetup();
        setup.binary = binary;
        setup.oneRecord = true;
        analysis::CComtradeWriter writer(temp / "rec", setup);
        writer.Add(time, sector.data());
        const analysis::ComtradeResult result = writer.Finish();
        ASSERT_EQ(result.error, "");
        EXPECT_EQ(result.missing, binary ? 1u : 0u);
        const std::vector<std::string> cfg = CrLfLines(testenv::ReadFileBytes(temp / "rec.cfg"));
        ASSERT_GE(cfg.size(), 4u);
        double a[2], b[2];
        for (int c = 0; c < 2; ++c) {
            const std::vector<std::string> f = Fields(cfg[2 + c]);
            a[c] = std::strtod(f[5].c_str(), nullptr);
            b[c] = std::strtod(f[6].c_str(), nullptr);
        }
        const std::vector<DatSample> dat = ReadDat(temp / "rec.dat", binary);
        ASSERT_EQ(dat.size(), 126u);
        for (int k = 1; k <= 96; ++k) {
            EXPECT_NEAR(a[0] * dat[k].x[0] + b[0], period.amperes[k - 1], 1e-6) << "pair " << k;
            EXPECT_NEAR(a[1] * dat[k].x[1] + b[1], period.volts[k - 1], 1e-4) << "pair " << k;
        }
        for (int k = 0; k < 126; ++k) {
            EXPECT_EQ(dat[k].number, k + 1);
            EXPECT_EQ(dat[k].stamp, (k * 1000000LL + 2400) / 4800) << "sample " << k;
        }
        EXPECT_EQ(dat[120].x[0], binary ? -32768 : 40000);
        // min and max of the stored counts leave the missing code out.
        unsigned lowest = 65535, highest = 0;
        for (int k = 0; k < 126; ++k) {
            const unsigned x = PairSample(sector.data(), k, 0);
            if (binary && x > 32767) continue;
            lowest = std::min(lowest, x);
            highest = std::max(highest, x);
        }
        EXPECT_EQ(Fields(cfg[2])[8], std::to_string(lowest));
        EXPECT_EQ(Fields(cfg[2])[9], std::to_string(highest));
    }
}

// Records at one a second (each second's `perSecond` records in a row),
// BINARY, a range (nrates 0): where the files split and how they are stamped.
TEST(ComtradeWriter, RangeSplitsAtTwoToTheThirtyFirstMicroseconds) {
    ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t start = LocalStandardTime(LocalFields{2024, 3, 15, 10, 0, 0});
    struct Case {
        int frequency;
        std::uint32_t seconds, perSecond;
        std::vector<std::uint64_t> recordsPerFile;
    };
    // The last sample of the record of second s lies s * 10^6 + 26042 us
    // (50 Hz) or + 21701 us (60 Hz) after the first: second 2147 is the last
    // whose record ends by 2^31 - 1 = 2147483647 us. A second's later records
    // follow its first at 26250 us (126 samples of 208.33 us) each.
    const Case cases[] = {
        {50, 2148, 1, {2148}},
        {50, 2149, 1, {2148, 1}},
        {60, 2200, 1, {2148, 52}},
        {50, 2149, 2, {4296, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.frequency) + " Hz, " + std::to_string(c.seconds) + " s, " +
                     std::to_string(c.perSecond) + " a second");
        TempDir temp;
        analysis::ComtradeSetup setup = KnownSetup();
        setup.binary = true;
        setup.lineFrequency = c.frequency;
        analysis::CComtradeWriter writer(temp / "out", setup);
        for (std::uint32_t s = 0; s < c.seconds; ++s) {
            const auto sector = RampRecord(start + static_cast<std::int32_t>(s));
            for (std::uint32_t r = 0; r < c.perSecond; ++r) writer.Add(start + static_cast<std::int32_t>(s), sector.data());
        }
        const analysis::ComtradeResult result = writer.Finish();
        ASSERT_EQ(result.error, "");
        ASSERT_EQ(result.files.size(), 2 * c.recordsPerFile.size());
        const double period = 1e6 / (96.0 * c.frequency);
        std::uint64_t recordsBefore = 0;
        for (std::size_t file = 0; file < c.recordsPerFile.size(); ++file) {
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, "_%03zu", file + 1);
            const std::string base = temp / (c.recordsPerFile.size() == 1 ? "out" : "out" + std::string(suffix));
            EXPECT_EQ(result.files[2 * file], base + ".cfg");
            const std::vector<std::string> cfg = CrLfLines(testenv::ReadFileBytes(base + ".cfg"));
            const std::vector<DatSample> dat = ReadDat(base + ".dat", true);
            const std::uint64_t records = c.recordsPerFile[file];
            ASSERT_EQ(dat.size(), records * 126);
            ASSERT_EQ(cfg.size(), 11u);
            EXPECT_EQ(cfg[5], "0");
            EXPECT_EQ(cfg[6], "0," + std::to_string(records * 126));
            // The file starts at its first record's second.
            const LocalFields f = LocalStandardFields(start + static_cast<std::int32_t>(recordsBefore / c.perSecond));
            char when[40];
            std::snprintf(when, sizeof when, "%02d/%02d/%04d,%02d:%02d:%02d.000000", f.day, f.month, f.year, f.hour,
                          f.minute, f.second);
            EXPECT_EQ(cfg[7], when);
            for (std::uint64_t i = 0; i < dat.size(); ++i) {
                const std::uint64_t record = i / 126, k = i % 126;
                const double expected = (record / c.perSecond) * 1e6 + (record % c.perSecond) * 126 * period + k * period;
                ASSERT_NEAR(static_cast<double>(dat[i].stamp), expected, 0.5 + 1e-6) << "sample " << i;
                ASSERT_EQ(dat[i].number, static_cast<long long>(i + 1));
            }
            EXPECT_LE(dat.back().stamp, 2147483647LL);
            if (file + 1 < c.recordsPerFile.size()) {
                // The next record would not have fitted: it starts the next file.
                const double next = ((recordsBefore + records) / c.perSecond) * 1e6 + 125 * period;
                EXPECT_GT(next, 2147483647.0);
            }
            recordsBefore += records;
        }
    }
}

TEST(ComtradeWriter, AFailedWriteLeavesNoFileBehind) {
    ScopedTimeZone zone("Asia/Shanghai");
    const std::int32_t start = LocalStandardTime(LocalFields{2024, 3, 15, 10, 0, 0});
    struct Case {
        const char* blocked;  // a folder in the place of this file
        std::uint32_t seconds;
    };
    const Case cases[] = {
        {"out_002.dat", 2149},  // the second file of a split range, after the first pair was written
        {"out.dat", 1},         // the final name of one record's .dat, after its .cfg got its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocked);
        TempDir temp;
        std::filesystem::create_directories(temp / c.blocked + "/kept");
        analysis::CComtradeWriter writer(temp / "out", KnownSetup());
        for (std::uint32_t s = 0; s < c.seconds; ++s) {
            writer.Add(start + static_cast<std::int32_t>(s), RampRecord(start + static_cast<std::int32_t>(s)).data());
        }
        const analysis::ComtradeResult result = writer.Finish();
        EXPECT_NE(result.error, "");
        EXPECT_TRUE(result.files.empty());
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(temp.Path())) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, std::vector<std::string>{c.blocked});
    }
}

}  // namespace
}  // namespace orvanta
