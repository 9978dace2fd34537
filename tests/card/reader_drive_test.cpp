// Construction of the reader and the search for the drive holding a card.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "tests/card/card_fixture_support.h"

namespace orvanta {
namespace {

// How a drive is prepared for the search.
enum class Media {
    kCard,        // both test sectors carry the marker
    kFirstOnly,   // only sector base + 1000 carries it
    kSecondOnly,  // only sector base + 1001 carries it
    kForeign,     // a disk without markers
    kWrongByte,   // both test sectors begin with another byte
};

void Prepare(MemoryVolumeSystem& memory, char letter, Media media) {
    MemoryDisk& disk = memory.Attach(letter);
    switch (media) {
        case Media::kCard:
            cardtest::MarkCardTestSectors(disk);
            break;
        case Media::kFirstOnly:
            disk.Sector(kTestSector1)[0] = kRecordMarker;
            break;
        case Media::kSecondOnly:
            disk.Sector(kTestSector2)[0] = kRecordMarker;
            break;
        case Media::kForeign:
            break;
        case Media::kWrongByte:
            disk.Sector(kTestSector1)[0] = 0x21;
            disk.Sector(kTestSector2)[0] = 0x21;
            break;
    }
}

struct DriveCase {
    const char* name;
    std::vector<std::pair<char, Media>> drives;
    char expected;  // 0 when no card is found
};

TEST(ReaderDriveSearch, FindsTheLowestLetterHoldingBothMarkers) {
    const DriveCase cases[] = {
        {"card on E, nothing on D", {{'E', Media::kCard}}, 'E'},
        {"card on D", {{'D', Media::kCard}}, 'D'},
        {"card on Z", {{'Z', Media::kCard}}, 'Z'},
        {"cards on E and G", {{'G', Media::kCard}, {'E', Media::kCard}}, 'E'},
        {"first marker only on E is passed over", {{'E', Media::kFirstOnly}, {'F', Media::kCard}}, 'F'},
        {"second marker only on D is passed over", {{'D', Media::kSecondOnly}, {'H', Media::kCard}}, 'H'},
        {"foreign disk before the card", {{'D', Media::kForeign}, {'E', Media::kWrongByte}, {'K', Media::kCard}}, 'K'},
        {"drives A to C are never tried", {{'A', Media::kCard}, {'B', Media::kCard}, {'C', Media::kCard}}, 0},
        {"only half-marked disks", {{'D', Media::kFirstOnly}, {'E', Media::kSecondOnly}}, 0},
        {"nothing attached", {}, 0},
    };
    for (const DriveCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryVolumeSystem memory;
        FaultVolumeSystem volumes{memory};
        for (const auto& [letter, media] : c.drives) Prepare(memory, letter, media);
        CCardReader reader(volumes);
        if (c.expected != 0) {
            EXPECT_EQ(reader.driveCode, static_cast<int>(c.expected));
            EXPECT_EQ(reader.StartupDriveCode(), static_cast<int>(c.expected));
            EXPECT_EQ(std::string(reader.devicePath), DevicePathOf(c.expected));
            // Texts stay as constructed: empty.
            EXPECT_STREQ(reader.waveText, "");
            EXPECT_STREQ(reader.trendText, "");
            EXPECT_STREQ(reader.infoText, "");
            // Every letter before the card was opened exactly twice, none after.
            for (char letter = 'A'; letter <= '['; ++letter) {
                const std::uint64_t expectedOpens = (letter >= 'D' && letter <= c.expected) ? 2 : 0;
                EXPECT_EQ(volumes.opensByPath[DevicePathOf(letter)], expectedOpens) << letter;
            }
            EXPECT_EQ(reader.FindCardDrive(), 1);
        } else {
            EXPECT_EQ(reader.driveCode, 1);
            EXPECT_EQ(reader.StartupDriveCode(), 1);
            EXPECT_STREQ(reader.devicePath, "\\\\.\\[:");
            EXPECT_STREQ(reader.waveText, "0 0 ");
            EXPECT_STREQ(reader.trendText, "0 0 ");
            EXPECT_STREQ(reader.infoText, "0 0 ");
            // 24 candidates, two probes each.
            EXPECT_EQ(volumes.counters.opens, 48u);
            EXPECT_EQ(volumes.opensByPath[DevicePathOf('[')], 2u);
            EXPECT_EQ(reader.FindCardDrive(), 0);
        }
    }
}

TEST(ReaderDriveSearch, NoCardStateReadsZerosEvenWhenACardArrivesLater) {
    cardtest::ScopedTimeZone zone("Asia/Shanghai");
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    CCardReader reader(volumes);
    ASSERT_EQ(reader.driveCode, 1);
    // A card put in after start-up is not followed.
    MemoryDisk& disk = memory.Attach('E');
    cardtest::MarkCardTestSectors(disk);
    cardtest::WriteRecordBytes(disk, 100000, {0x24, 0x03, 0x15, 0x10, 0x20, 0x30});
    std::memset(reader.sectorBuffer, 0xAB, sizeof reader.sectorBuffer);
    EXPECT_EQ(reader.ReadSector(100000), 0);
    for (unsigned char b : reader.sectorBuffer) ASSERT_EQ(b, 0);
    EXPECT_STREQ(reader.devicePath, "\\\\.\\[:");
}

TEST(ReaderConstruction, SetsTheDefaultsAndZeroesTheRest) {
    cardtest::ScopedTempWorkDir dir;  // no ratio.txt here
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    cardtest::MarkCardTestSectors(memory.Attach('F'));
    CCardReader reader(volumes);
    EXPECT_EQ(reader.baseSector, 100000u);
    EXPECT_EQ(reader.upperSector, 60000000u);
    EXPECT_EQ(reader.infoSector, 90000u);
    EXPECT_DOUBLE_EQ(reader.offsetA, 506.3);
    EXPECT_DOUBLE_EQ(reader.offsetB, 509.0);
    EXPECT_DOUBLE_EQ(reader.ratioA, 1.0);
    EXPECT_DOUBLE_EQ(reader.ratioB, 1.0);
    EXPECT_EQ(reader.ringCount, 0u);
    EXPECT_EQ(reader.ringStart, 0u);
    EXPECT_EQ(reader.deviceSerial, 0);
    EXPECT_EQ(reader.deviceByte, 0);
    EXPECT_EQ(reader.currentSector, 0u);
    EXPECT_EQ(reader.actualTime, 0);
    EXPECT_EQ(reader.driveCode, 'F');
    EXPECT_STREQ(reader.devicePath, "\\\\.\\F:");
}

TEST(ReaderConstruction, LoadsTheRatiosBeforeTheDriveSearch) {
    cardtest::ScopedTempWorkDir dir;
    dir.WriteFile("ratio.txt", "1.5\n2.5\n");
    MemoryVolumeSystem memory;
    FaultVolumeSystem volumes{memory};
    CCardReader reader(volumes);
    EXPECT_DOUBLE_EQ(reader.ratioA, 1.5);
    EXPECT_DOUBLE_EQ(reader.ratioB, 2.5);
    // The no-card state does not touch the ratios.
    EXPECT_EQ(reader.driveCode, 1);
}

}  // namespace
}  // namespace orvanta
