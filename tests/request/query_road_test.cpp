#include "request/query_road.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"
#include "tests/request/ini_test_support.h"

namespace orvanta {
namespace {

using cardtest::ScopedTimeZone;
using cardtest::TimeOfFields;
using requesttest::TempFile;

std::string BodyText(const PreparedQuery& query) { return std::string(query.body.begin(), query.body.end()); }

std::string BodyPrefix(std::int32_t selected, std::int32_t actual) {
    return "selectedTime=" + std::to_string(selected) + "&actualTime=" + std::to_string(actual) + "&data=";
}

struct RoadCase {
    const char* name;
    const char* zone;
    bool card;
    int selectedOffset;   // selected time = first record time + offset
    int expectedOffset;   // actual time = first record time + offset (card only)
};

// A card on E: with ten records, one per second, from a winter or summer date.
TEST(QueryRoad, AdoptsTheActualTimeOnlyWhenItIsPositive) {
    const RoadCase cases[] = {
        {"record of the selected second", "Asia/Shanghai", true, 3, 3},
        {"record of the selected second, summer", "Europe/Berlin", true, 4, 4},
        {"before the oldest record", "Asia/Shanghai", true, -100, 0},
        {"after the newest record", "Europe/Berlin", true, 500, 9},
        {"no card", "Asia/Shanghai", false, 3, 0},
    };
    TempFile ini;
    ini.Write("[Common]\nserverBaseUrl=http://127.0.0.1:1/q\nuserID=u1\npassword=\n");
    for (const RoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedTimeZone zone(c.zone);
        const std::int32_t first = std::strcmp(c.zone, "Europe/Berlin") == 0 ? TimeOfFields(2021, 7, 1, 12, 0, 0)
                                                                             : TimeOfFields(2013, 12, 6, 12, 0, 0);
        MemoryVolumeSystem volumes;
        if (c.card) {
            MemoryDisk& disk = volumes.Attach('E');
            cardtest::MarkCardTestSectors(disk);
            cardtest::WriteInfoSector(disk, 1234, 5);
            cardtest::WriteRing(disk, first, 10);
        }
        auto reader = std::make_unique<CCardReader>(volumes);
        const std::int32_t selected = first + c.selectedOffset;
        PreparedQuery query = PrepareQuery(*reader, ini.Path(), selected);

        const std::int32_t actual = c.card ? first + c.expectedOffset : 0;
        EXPECT_EQ(query.settings.actualTime, actual);
        EXPECT_EQ(reader->actualTime, actual);
        EXPECT_EQ(query.AdoptsActualTime(), c.card);
        EXPECT_EQ(query.settings.selectedTime, c.card ? actual : selected);
        EXPECT_STREQ(query.settings.serverBaseUrl, "http://127.0.0.1:1/q");
        EXPECT_EQ(query.headerBlock,
                  "Content-Type: application/x-www-form-urlencoded\r\nApi-Version: 1.0.0\r\nUser-ID: u1\r\n"
                  "Password: \r\n");
        ASSERT_EQ(query.bodyResult, BuildResult::Ok);
        const std::string body = BodyText(query);
        EXPECT_EQ(body.rfind(BodyPrefix(query.settings.selectedTime, actual), 0), 0u) << body.substr(0, 80);
        // The texts sent are the ones the card query just left in the reader.
        const std::string tail = "&data2=" + UrlEncode(reader->infoText);
        ASSERT_GE(body.size(), tail.size());
        EXPECT_EQ(body.substr(body.size() - tail.size()), tail);
        EXPECT_EQ(std::string(reader->infoText).rfind(c.card ? "69 " : "1 ", 0), 0u) << reader->infoText;
    }
}

// A record dated after 2038 reads as -1: sent unchanged, the selected time kept.
TEST(QueryRoad, SendsANegativeActualTimeAndKeepsTheSelectedTime) {
    ScopedTimeZone zone("Asia/Shanghai");
    MemoryVolumeSystem volumes;
    MemoryDisk& disk = volumes.Attach('E');
    cardtest::MarkCardTestSectors(disk);
    cardtest::WriteRecordBytes(disk, 100000, {0x50, 0x01, 0x01, 0x00, 0x00, 0x00});
    auto reader = std::make_unique<CCardReader>(volumes);
    TempFile ini;
    PreparedQuery query = PrepareQuery(*reader, ini.Path() + ".missing", -5);
    EXPECT_EQ(query.settings.actualTime, -1);
    EXPECT_FALSE(query.AdoptsActualTime());
    EXPECT_EQ(query.settings.selectedTime, -5);
    EXPECT_EQ(BodyText(query).rfind(BodyPrefix(-5, -1), 0), 0u);
    EXPECT_STREQ(query.settings.userID, "111");
    EXPECT_STREQ(query.settings.password, "trelmoza");
    EXPECT_STREQ(query.settings.serverBaseUrl, "");
}

TEST(QueryRoad, ReadsTheConfigurationAfreshAtEveryQuery) {
    ScopedTimeZone zone("Asia/Shanghai");
    MemoryVolumeSystem volumes;
    auto reader = std::make_unique<CCardReader>(volumes);
    TempFile ini;
    ini.Write("[Common]\nuserID=first\npassword=one\n");
    PreparedQuery before = PrepareQuery(*reader, ini.Path(), 1386302400);
    ini.Write("[common]\nUSERID = second\n");
    PreparedQuery after = PrepareQuery(*reader, ini.Path(), 1386302401);
    EXPECT_NE(before.headerBlock.find("User-ID: first\r\nPassword: one\r\n"), std::string::npos);
    EXPECT_NE(after.headerBlock.find("User-ID: second\r\nPassword: trelmoza\r\n"), std::string::npos);
    EXPECT_EQ(BodyText(after).rfind(BodyPrefix(1386302401, 0), 0), 0u);
}

}  // namespace
}  // namespace orvanta
