// The waveform text: 126 sample pairs, zero-corrected, scaled and rounded as
// the recorder's analysis server expects, and never written past its buffer.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "card/card_reader.h"
#include "platform/memory_volume.h"

namespace orvanta {
namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

std::vector<long long> Numbers(const char* text) {
    std::istringstream in(text);
    std::vector<long long> out;
    long long v;
    while (in >> v) out.push_back(v);
    return out;
}

void PutSample(unsigned char* sector, std::size_t offset, unsigned sample) {
    sector[offset] = static_cast<unsigned char>(sample & 0xFF);
    sector[offset + 1] = static_cast<unsigned char>(sample >> 8);
}

class WaveTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        reader_ = std::make_unique<CCardReader>(volumes_);  // no card: no drive answers
        std::memset(reader_->sectorBuffer, 0, sizeof reader_->sectorBuffer);
        reader_->ratioA = 1.0;
        reader_->ratioB = 1.0;
    }
    // Channel A sample of pair k at 8 + 4k, channel B at 10 + 4k.
    void SetPair(int k, unsigned a, unsigned b) {
        PutSample(reader_->sectorBuffer, 8 + 4 * k, a);
        PutSample(reader_->sectorBuffer, 10 + 4 * k, b);
    }
    MemoryVolumeSystem volumes_;
    std::unique_ptr<CCardReader> reader_;
};

TEST_F(WaveTextTest, UniformSectorsGiveOnePairRepeated) {
    struct Case {
        unsigned char fill;
        double ratioA, ratioB;
        const char* pair;
    };
    const Case cases[] = {
        {0x00, 1.0, 1.0, "-505 -508 "},
        {0xFF, 1.0, 1.0, "65029 65026 "},
        {0x00, 2.0, 1.0, "-1012 -508 "},  // (0 - 506.3) * 2 + 0.5 = -1012.1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "fill " << int(c.fill) << " ratioA " << c.ratioA);
        std::memset(reader_->sectorBuffer, c.fill, sizeof reader_->sectorBuffer);
        reader_->ratioA = c.ratioA;
        reader_->ratioB = c.ratioB;
        reader_->BuildWaveText();
        EXPECT_EQ(std::string(reader_->waveText), Repeat(c.pair, 126));
    }
    std::memset(reader_->sectorBuffer, 0, sizeof reader_->sectorBuffer);
    reader_->ratioA = reader_->ratioB = 1.0;
    reader_->BuildWaveText();
    EXPECT_EQ(std::strlen(reader_->waveText), 1260u);
}

TEST_F(WaveTextTest, DocumentedSampleValues) {
    struct Case {
        char channel;
        unsigned sample;
        double ratio;
        long long written;
    };
    const Case cases[] = {
        // With ratio 1.0.
        {'A', 0, 1.0, -505}, {'A', 506, 1.0, 0}, {'A', 507, 1.0, 1}, {'A', 1023, 1.0, 517},
        {'A', 65535, 1.0, 65029}, {'B', 0, 1.0, -508}, {'B', 507, 1.0, -1}, {'B', 508, 1.0, 0},
        {'B', 509, 1.0, 0}, {'B', 510, 1.0, 1}, {'B', 65535, 1.0, 65026},
        // (sample - 509) x ratio = 2.4, 0.5, -0.3, -1.0, -1.5, -2.0, -505.8.
        {'B', 510, 2.4, 2}, {'B', 510, 0.5, 1}, {'B', 508, 0.3, 0}, {'B', 508, 1.0, 0},
        {'B', 508, 1.5, -1}, {'B', 508, 2.0, -1}, {'B', 228, 1.8, -505},
        // Channel A's zero level 506.3: -505.3 + 0.5 truncates to -504.
        {'A', 1, 1.0, -504},
    };
    for (const Case& c : cases) {
        for (int k : {0, 63, 125}) {
            SCOPED_TRACE(testing::Message() << c.channel << " sample " << c.sample << " ratio " << c.ratio
                                            << " pair " << k);
            std::memset(reader_->sectorBuffer, 0, sizeof reader_->sectorBuffer);
            reader_->ratioA = reader_->ratioB = c.ratio;
            if (c.channel == 'A') SetPair(k, c.sample, 0);
            else SetPair(k, 0, c.sample);
            reader_->BuildWaveText();
            std::vector<long long> n = Numbers(reader_->waveText);
            ASSERT_EQ(n.size(), 252u);
            EXPECT_EQ(n[2 * k + (c.channel == 'A' ? 0 : 1)], c.written);
        }
    }
}

TEST_F(WaveTextTest, SamplesAreLittleEndianAndUnsigned) {
    reader_->sectorBuffer[8] = 0x07;  // channel A of pair 0: 0x0207 = 519
    reader_->sectorBuffer[9] = 0x02;
    reader_->sectorBuffer[10] = 0x00;  // channel B of pair 0: 0x8000 = 32768, not negative
    reader_->sectorBuffer[11] = 0x80;
    reader_->BuildWaveText();
    std::vector<long long> n = Numbers(reader_->waveText);
    ASSERT_EQ(n.size(), 252u);
    EXPECT_EQ(n[0], 13);
    EXPECT_EQ(n[1], 32768 - 509);
    EXPECT_EQ(n[2], -505);  // pair 1 untouched
}

TEST_F(WaveTextTest, MarkerAndTimestampBytesNeverMatter) {
    for (int k = 0; k < 126; ++k) SetPair(k, 400 + k, 700 - k);
    reader_->BuildWaveText();
    const std::string plain = reader_->waveText;
    const unsigned char heads[][8] = {
        {0x20, 0x24, 0x03, 0x15, 0x10, 0x20, 0x30, 0x00},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        {0x00, 0x99, 0x13, 0x32, 0x24, 0x60, 0x60, 0x7F},
    };
    for (const auto& head : heads) {
        SCOPED_TRACE(testing::Message() << "marker " << int(head[0]));
        std::memcpy(reader_->sectorBuffer, head, 8);
        reader_->BuildWaveText();
        EXPECT_EQ(std::string(reader_->waveText), plain);
    }
}

// Extreme ratios: values are clamped to the signed 32-bit range, the text ends
// with the last whole pair that fits, and nothing is written past the buffer
// (trendText follows waveText directly in the record).
TEST_F(WaveTextTest, ExtremeRatiosStayInsideTheBuffer) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double ratio;
        unsigned char fill;
        const char* pair;
        int pairs;  // whole pairs that fit in 2539 characters
    };
    const Case cases[] = {
        {1e300, 0x00, "-2147483648 -2147483648 ", 2539 / 24},
        {-1e300, 0x00, "2147483647 2147483647 ", 2539 / 22},
        {1e300, 0xFF, "2147483647 2147483647 ", 2539 / 22},
        {inf, 0x00, "-2147483648 -2147483648 ", 2539 / 24},
        {nan, 0x00, "0 0 ", 126},
        {1e5, 0x00, "-50629999 -50899999 ", 126},  // 20 characters a pair: all fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ratio " << c.ratio << " fill " << int(c.fill));
        std::memset(reader_->sectorBuffer, c.fill, sizeof reader_->sectorBuffer);
        reader_->ratioA = reader_->ratioB = c.ratio;
        std::memset(reader_->waveText, 'X', sizeof reader_->waveText);
        reader_->trendText[0] = 'T';
        reader_->BuildWaveText();
        ASSERT_NE(std::memchr(reader_->waveText, '\0', sizeof reader_->waveText), nullptr);
        EXPECT_EQ(reader_->trendText[0], 'T');
        EXPECT_EQ(std::string(reader_->waveText), Repeat(c.pair, c.pairs));
    }
    // A short pair behind one that no longer fits is not written either: the
    // text never skips a pair, so the numbers stay in step.
    std::memset(reader_->sectorBuffer, 0, sizeof reader_->sectorBuffer);
    for (int k = 106; k < 126; ++k) SetPair(k, 0, 509);  // "-2147483648 0 "
    reader_->ratioA = reader_->ratioB = 1e300;
    reader_->BuildWaveText();
    EXPECT_EQ(std::string(reader_->waveText), Repeat("-2147483648 -2147483648 ", 105));
}

}  // namespace
}  // namespace orvanta
