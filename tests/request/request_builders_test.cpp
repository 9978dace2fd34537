#include "request/request_builders.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>

#include "platform/memory_volume.h"

namespace orvanta {
namespace {

// A reader without a card whose three texts the tests set.
class BuilderTest : public ::testing::Test {
protected:
    BuilderTest() : reader_(std::make_unique<CCardReader>(volumes_)) { std::memset(&settings_, 0, sizeof(settings_)); }

    void SetTexts(const char* wave, const char* trend, const char* info) {
        std::strcpy(reader_->waveText, wave);
        std::strcpy(reader_->trendText, trend);
        std::strcpy(reader_->infoText, info);
    }

    std::string Body() {
        std::vector<std::uint8_t> body;
        EXPECT_EQ(BuildPostData(&body, settings_, *reader_), BuildResult::Ok);
        return std::string(body.begin(), body.end());
    }

    MemoryVolumeSystem volumes_;
    std::unique_ptr<CCardReader> reader_;
    ClientSettings settings_;
};

TEST_F(BuilderTest, BuildsTheDocumentedBodyOf78Bytes) {
    settings_.selectedTime = 1386302400;
    settings_.actualTime = 0;
    SetTexts("512 -3 ", "0 0 ", "68 1 1 1 0 ");
    std::vector<std::uint8_t> body = {1, 2, 3};  // earlier content is replaced, not appended to
    ASSERT_EQ(BuildPostData(&body, settings_, *reader_), BuildResult::Ok);
    const std::string expected = "selectedTime=1386302400&actualTime=0&data=512+-3+&data1=0+0+&data2=68+1+1+1+0+";
    ASSERT_EQ(expected.size(), 78u);
    ASSERT_EQ(body.size(), 78u);
    EXPECT_EQ(std::string(body.begin(), body.end()), expected);
    EXPECT_NE(body.back(), 0) << "no terminating zero in the body";
}

TEST_F(BuilderTest, WritesTimesAsSignedDecimals) {
    const struct {
        std::int32_t selected, actual;
        const char* prefix;
    } cases[] = {
        {1386302400, -1, "selectedTime=1386302400&actualTime=-1&"},
        {-5, 0, "selectedTime=-5&actualTime=0&"},
        {INT32_MIN, INT32_MAX, "selectedTime=-2147483648&actualTime=2147483647&"},
        {0, 7, "selectedTime=0&actualTime=7&"},
    };
    SetTexts("", "", "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        settings_.selectedTime = c.selected;
        settings_.actualTime = c.actual;
        EXPECT_EQ(Body(), std::string(c.prefix) + "data=&data1=&data2=");
    }
}

TEST_F(BuilderTest, EncodesEachText) {
    settings_.selectedTime = 1;
    settings_.actualTime = 1;
    SetTexts("1,2", "a\nb", "\xe4 ~");
    EXPECT_EQ(Body(), "selectedTime=1&actualTime=1&data=1%2c2&data1=a%0ab&data2=%e4+~");
}

TEST_F(BuilderTest, ReadsAnUnterminatedTextOnlyUpToItsEnd) {
    SetTexts("", "7 ", "");
    std::memset(reader_->waveText, '9', sizeof(reader_->waveText));
    std::memset(reader_->infoText, '8', sizeof(reader_->infoText));
    std::string body = Body();
    std::string expected = "selectedTime=0&actualTime=0&data=" + std::string(sizeof(reader_->waveText), '9') +
                           "&data1=7+&data2=" + std::string(sizeof(reader_->infoText), '8');
    EXPECT_EQ(body, expected);
}

TEST_F(BuilderTest, RefusesANullPlaceForTheBody) {
    EXPECT_EQ(BuildPostData(nullptr, settings_, *reader_), BuildResult::NullPointer);
}

TEST(RequestHeaders, BuildsTheFourLines) {
    struct Case {
        const char* userID;
        const char* password;
        const char* expected;
    } cases[] = {
        {"111", "",
         "Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\nUser-ID: 111\r\nPassword: \r\n"},
        {"111", "trelmoza",
         "Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\nUser-ID: 111\r\n"
         "Password: trelmoza\r\n"},
        {"", "a b&c=%",
         "Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\nUser-ID: \r\nPassword: a b&c=%\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        ClientSettings settings;
        std::memset(&settings, 0, sizeof(settings));
        std::strcpy(settings.userID, c.userID);
        std::strcpy(settings.password, c.password);
        EXPECT_EQ(BuildRequestHeaders(settings), c.expected);
    }
}

TEST(RequestHeaders, TakesTheLongestValuesWhole) {
    ClientSettings settings;
    std::memset(&settings, 0, sizeof(settings));
    std::memset(settings.userID, 'u', 35);
    std::memset(settings.password, 'p', 199);
    std::string block = BuildRequestHeaders(settings);
    EXPECT_NE(block.find("\r\nUser-ID: " + std::string(35, 'u') + "\r\n"), std::string::npos);
    EXPECT_NE(block.find("\r\nPassword: " + std::string(199, 'p') + "\r\n"), std::string::npos);
}

TEST(RequestHeaders, StopsAtTheEndOfAnUnterminatedField) {
    ClientSettings settings;
    std::memset(&settings, 'x', sizeof(settings));
    std::memset(settings.userID, 'u', sizeof(settings.userID));
    std::memset(settings.password, 'p', sizeof(settings.password));
    std::string block = BuildRequestHeaders(settings);
    EXPECT_NE(block.find("\r\nUser-ID: " + std::string(sizeof(settings.userID), 'u') + "\r\nPassword: " +
                         std::string(sizeof(settings.password), 'p') + "\r\n"),
              std::string::npos);
}

TEST(UrlEncode, FollowsTheFormEncoding) {
    const struct {
        std::string text;
        const char* encoded;
    } cases[] = {
        {"a+b=c&d", "a%2bb%3dc%26d"},
        {"x y", "x+y"},
        {"-_.~", "-_.~"},
        {"\xc8", "%c8"},
        {"AZaz09", "AZaz09"},
        {"512 -3 ", "512+-3+"},
        {",\n\r\t/%", "%2c%0a%0d%09%2f%25"},
        {"\x7f\x80\xff", "%7f%80%ff"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoded);
        EXPECT_EQ(UrlEncode(c.text.c_str()), c.encoded);
    }
    EXPECT_EQ(UrlEncode(nullptr), "");
    EXPECT_EQ(UrlEncode("a\0b", 3), "a%00b");
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;  // upper case or anything else is wrong
}

TEST(UrlEncode, EveryByteComesBackFromItsEncoding) {
    for (int b = 1; b < 256; ++b) {
        SCOPED_TRACE(b);
        char text[2] = {static_cast<char>(b), '\0'};
        std::string encoded = UrlEncode(text);
        bool kept = std::isalnum(b) != 0 && b < 128;
        kept = kept || b == '-' || b == '_' || b == '.' || b == '~';
        if (kept) {
            EXPECT_EQ(encoded, std::string(1, static_cast<char>(b)));
        } else if (b == ' ') {
            EXPECT_EQ(encoded, "+");
        } else {
            ASSERT_EQ(encoded.size(), 3u);
            EXPECT_EQ(encoded[0], '%');
            ASSERT_GE(HexValue(encoded[1]), 0);
            ASSERT_GE(HexValue(encoded[2]), 0);
            EXPECT_EQ(HexValue(encoded[1]) * 16 + HexValue(encoded[2]), b);
        }
    }
}

TEST(HexDigit, GivesTheLowerCaseDigitOfTheLowFourBits) {
    const struct {
        unsigned value;
        char digit;
    } cases[] = {{0, '0'}, {9, '9'}, {10, 'a'}, {15, 'f'}, {16, '0'}, {255, 'f'}, {0x1234Bu, 'b'}, {~0u, 'f'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(HexDigit(c.value), c.digit);
    }
}

}  // namespace
}  // namespace orvanta
