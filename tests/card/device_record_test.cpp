// The calibration ratios from "ratio.txt" and the device record text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "card/card_reader.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

using cardtest::ScopedTempWorkDir;

TEST(Calibration, ReadsRatioFileAsTheCLibraryScansIt) {
    const struct {
        const char* name;
        const char* content;  // null: no file
        double ratioA, ratioB;
    } cases[] = {
        {"no file", nullptr, 1.0, 1.0},
        {"empty file", "", 1.0, 1.0},
        {"two lines", "0.5\n2.75\n", 0.5, 2.75},
        {"one line, blank between", "1.02 0.98", 1.02, 0.98},
        {"tab and CRLF between", "1.25\r\n\t 3.5\r\n", 1.25, 3.5},
        {"leading blank lines", "\n\n  -1.7\n4e-1", -1.7, 0.4},
        {"one number only", "1.98\n", 1.98, 1.0},
        {"garbage", "ratio one\n2\n", 1.0, 1.0},
        {"number then garbage", "0.75\nabc\n", 0.75, 1.0},
        {"trailing text ignored", "2\n3 4 5 text", 2.0, 3.0},
        {"no line break needed", "7 8", 7.0, 8.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedTempWorkDir dir;
        if (c.content != nullptr) dir.WriteFile("ratio.txt", c.content);
        MemoryVolumeSystem memory;
        FaultVolumeSystem volumes{memory};
        CCardReader reader(volumes);
        EXPECT_DOUBLE_EQ(reader.ratioA, c.ratioA);
        EXPECT_DOUBLE_EQ(reader.ratioB, c.ratioB);
    }
}

TEST(Calibration, RatioFileIsReadOnlyAtConstruction) {
    ScopedTempWorkDir dir;
    dir.WriteFile("ratio.txt", "0.5 2.75");
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    CCardReader reader(volumes);
    dir.WriteFile("ratio.txt", "9 9");
    reader.ReadDeviceRecord();
    EXPECT_STREQ(reader.infoText, "1 0 2 0 0 ");
}

struct Card {
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    MemoryDisk& disk = memory.Attach('E');
    std::unique_ptr<CCardReader> reader;

    Card() {
        cardtest::MarkCardTestSectors(disk);
        reader = std::make_unique<CCardReader>(volumes);
        volumes.ResetCounters();
    }
};

TEST(DeviceRecord, FormatsDriveRatiosSerialAndDeviceByte) {
    ScopedTempWorkDir dir;  // no ratio.txt: both ratios 1.0
    const struct {
        const char* name;
        std::uint8_t bytes[5];
        double ratioA, ratioB;
        const char* text;
    } cases[] = {
        {"worked example", {0x00, 0x01, 0xE2, 0x40, 0x07}, 1.0, 1.0, "69 1 1 123456 7 "},
        {"top bit set", {0x80, 0x00, 0x00, 0x01, 0xFF}, 1.0, 1.0, "69 1 1 -2147483647 255 "},
        {"all ones", {0xFF, 0xFF, 0xFF, 0xFF, 0x00}, 1.0, 1.0, "69 1 1 -1 0 "},
        {"largest positive", {0x7F, 0xFF, 0xFF, 0xFF, 0x80}, 1.0, 1.0, "69 1 1 2147483647 128 "},
        {"smallest", {0x80, 0x00, 0x00, 0x00, 0x01}, 1.0, 1.0, "69 1 1 -2147483648 1 "},
        {"ratios truncate toward zero", {0, 0, 0, 5, 0}, 0.98, 1.98, "69 0 1 5 0 "},
        {"negative ratio", {0, 0, 0, 5, 0}, -1.7, 2.75, "69 -1 2 5 0 "},
        {"ratio above the 32-bit range", {0, 0, 0, 1, 0}, 1e12, -1e12, "69 2147483647 -2147483648 1 0 "},
        {"infinite and NaN ratios", {0, 0, 0, 1, 0}, std::numeric_limits<double>::infinity(),
         std::numeric_limits<double>::quiet_NaN(), "69 2147483647 0 1 0 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Card card;
        cardtest::SectorBytes& info = card.disk.Sector(90000);
        std::memcpy(info.data(), c.bytes, 5);
        info[5] = 0x99;
        card.reader->ratioA = c.ratioA;
        card.reader->ratioB = c.ratioB;
        std::memset(card.reader->sectorBuffer, 0x5C, sizeof card.reader->sectorBuffer);
        card.reader->ReadDeviceRecord();
        EXPECT_STREQ(card.reader->infoText, c.text);
        // Its own read: one open, the sector buffer left alone.
        EXPECT_EQ(card.volumes.counters.opens, 1u);
        EXPECT_EQ(card.volumes.counters.closes, 1u);
        for (unsigned char b : card.reader->sectorBuffer) ASSERT_EQ(b, 0x5C);
    }
}

TEST(DeviceRecord, ReadsTheInformationSectorAtItsSixtyFourBitOffset) {
    Card card;
    cardtest::WriteInfoSector(card.disk, 0x01020304u, 9, 90000);
    cardtest::WriteInfoSector(card.disk, 0xA0B0C0D0u, 42, 9000000);  // offset above 2^32
    card.reader->ReadDeviceRecord();
    EXPECT_EQ(card.reader->deviceSerial, 0x01020304);
    card.reader->infoSector = 9000000;
    card.reader->ReadDeviceRecord();
    EXPECT_EQ(static_cast<std::uint32_t>(card.reader->deviceSerial), 0xA0B0C0D0u);
    EXPECT_EQ(card.reader->deviceByte, 42);
}

TEST(DeviceRecord, FailuresKeepTheLastGoodSerialAndDeviceByte) {
    const struct {
        const char* name;
        FaultPlan plan;
        bool detach;
        bool updates;
    } cases[] = {
        {"card pulled", FaultPlan(), true, false},
        {"open refused", [] { FaultPlan f; f.alwaysFailOpen = true; return f; }(), false, false},
        {"positioning refused", [] { FaultPlan f; f.alwaysFailPosition = true; return f; }(), false, false},
        {"read failed", [] { FaultPlan f; f.alwaysFailRead = true; return f; }(), false, false},
        {"read of 4 bytes", [] { FaultPlan f; f.shortReadBytes = 4; return f; }(), false, false},
        {"read of 5 bytes is enough", [] { FaultPlan f; f.shortReadBytes = 5; return f; }(), false, true},
        {"no fault", FaultPlan(), false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedTempWorkDir dir;
        Card card;
        cardtest::WriteInfoSector(card.disk, 123456, 7);
        card.reader->ReadDeviceRecord();
        ASSERT_STREQ(card.reader->infoText, "69 1 1 123456 7 ");
        // The recorder's information sector changes, then the next read fails.
        cardtest::WriteInfoSector(card.disk, 0xFFFFFFFEu, 200);
        card.volumes.faults = c.plan;
        if (c.detach) card.memory.Detach(DevicePathOf('E'));
        card.reader->driveCode = 1;  // as after a failed presence check
        card.reader->ReadDeviceRecord();
        EXPECT_STREQ(card.reader->infoText, c.updates ? "1 1 1 -2 200 " : "1 1 1 123456 7 ");
    }
}

TEST(DeviceRecord, NoCardAtStartupGivesZeroSerial) {
    ScopedTempWorkDir dir;
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    CCardReader reader(volumes);
    ASSERT_STREQ(reader.infoText, "0 0 ");
    reader.ReadDeviceRecord();
    EXPECT_STREQ(reader.infoText, "1 1 1 0 0 ");
}

}  // namespace
}  // namespace orvanta
