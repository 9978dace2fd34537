// Cards computed on demand and the query images made from them: every sector
// of a VirtualCard equals the sector GenerateCard writes, and a query image of
// a ring reaching far beyond the 4 GiB offset answers its queries, read as an
// image file through drive E:, exactly as the whole card does.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <vector>

#include "card/card_reader.h"
#include "cardimage/query_image.h"
#include "cardimage/virtual_card_volume.h"
#include "platform/drive_map.h"
#include "platform/memory_volume.h"
#include "tests/tools/tool_test_support.h"

namespace orvanta {
namespace {

using cardimage::CardContents;
using cardimage::VirtualCard;
using tooltest::ScopedTimeZone;
using tooltest::TempDir;

TEST(VirtualCard, EverySectorEqualsTheGeneratedCard) {
    ScopedTimeZone zone("Europe/Berlin");  // summer: records carry local standard time
    struct Case {
        std::uint32_t records, wrap;
        bool presence;
    };
    const Case cases[] = {{3000, 0, true}, {3000, 1234, true}, {10, 0, true}, {1001, 0, true}, {2500, 900, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.records) + " records, wrap " + std::to_string(c.wrap) +
                     (c.presence ? "" : ", no presence"));
        CardContents contents;
        contents.start = LocalFields{2024, 7, 1, 23, 59, 0};
        contents.records = c.records;
        contents.wrap = c.wrap;
        contents.presence = c.presence;
        contents.sectors = 105000;
        ASSERT_TRUE(VirtualCard::Supports(contents, nullptr));
        std::map<std::uint32_t, std::vector<std::uint8_t>> generated;
        const cardimage::CardLayout layout = cardimage::GenerateCard(contents, [&](std::uint32_t s, const std::uint8_t* b) {
            generated[s].assign(b, b + 512);
        });
        const VirtualCard card(contents);
        const cardimage::CardLayout virtualLayout = card.Layout();
        EXPECT_EQ(virtualLayout.ringStart, layout.ringStart);
        EXPECT_EQ(virtualLayout.newestSector, layout.newestSector);
        EXPECT_EQ(virtualLayout.oldestTime, layout.oldestTime);
        EXPECT_EQ(virtualLayout.newestTime, layout.newestTime);

        // Read the whole card through the volume, 1000 sectors a read from an
        // odd byte offset, and 1000 past the end, which deliver nothing.
        cardimage::VirtualCardVolumeSystem volumes(card, DevicePathOf('E'));
        ASSERT_FALSE(volumes.Open("\\\\.\\D:"));
        VolumeOpen volume = volumes.Open("\\\\.\\E:");
        ASSERT_TRUE(volume);
        std::vector<std::uint8_t> all(contents.sectors * 512 + 512000 + 7, 0xEE);
        ASSERT_TRUE(volume->SetPosition(3).Ok());
        std::uint64_t delivered = 0;
        for (std::size_t n; (n = volume->Read(all.data() + 3 + delivered, 512000).delivered) > 0;) delivered += n;
        EXPECT_EQ(delivered, contents.sectors * 512 - 3);
        std::size_t differing = 0;
        for (std::uint32_t s = 0; s < contents.sectors; ++s) {
            auto it = generated.find(s);
            std::vector<std::uint8_t> expected = it == generated.end() ? std::vector<std::uint8_t>(512, 0) : it->second;
            std::uint8_t got[512];
            const bool written = card.SectorAt(s, got);
            differing += written != (it != generated.end()) || std::memcmp(got, expected.data(), 512) != 0;
            const std::size_t skip = s == 0 ? 3 : 0;  // the bytes before the first read
            differing += std::memcmp(all.data() + s * 512ULL + skip, expected.data() + skip, 512 - skip) != 0;
        }
        EXPECT_EQ(differing, 0u);
    }
}

TEST(QueryImage, AFarRingAnswersItsQueriesAsTheWholeCardDoes) {
    ScopedTimeZone zone("Asia/Shanghai");
    struct Case {
        std::uint32_t records, wrap, index;  // index: logical index of the record queried
        std::uint32_t sector;                // where that record lies
    };
    const Case cases[] = {
        {8500000, 0, 8350000, 8450000},         // above 4 GiB: 8388608 sectors
        {8500000, 100000, 8300000, 8500000},    // wrapped, in the previous pass
        {8500000, 100000, 8450000, 150000},     // wrapped, in the current pass
        {8500000, 0, 8499990, 8599990},         // the trend stops at the newest record
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.records) + " records, wrap " + std::to_string(c.wrap) + ", index " +
                     std::to_string(c.index));
        CardContents contents;
        contents.start = LocalFields{2023, 10, 20, 0, 0, 0};
        contents.records = c.records;
        contents.wrap = c.wrap;
        const std::int32_t time = LocalStandardTime(contents.start) + static_cast<std::int32_t>(c.index);
        TempDir temp;
        const std::string image = temp / "card.img";
        cardimage::QueryImageResult result;
        std::string error;
        ASSERT_TRUE(cardimage::WriteQueryImage(image, contents, {time, time + 1}, &result, &error)) << error;
        struct stat st {};
        ASSERT_EQ(::stat(image.c_str(), &st), 0);
        EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), contents.sectors * 512);
        EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512, 4u << 20) << "the image is not sparse";
        EXPECT_LT(result.sectorsWritten, 4000u);

        const VirtualCard card(contents);
        cardimage::VirtualCardVolumeSystem whole(card, DevicePathOf('E'));
        DriveMap drives;
        drives.Set('E', image);
        std::unique_ptr<RawVolumeSystem> file = MakePlatformVolumeSystem(drives);
        auto fromCard = std::make_unique<CCardReader>(whole);
        auto fromImage = std::make_unique<CCardReader>(*file);
        for (std::int32_t t : {time, time + 1}) {
            fromCard->QueryCard(t);
            fromImage->QueryCard(t);
            EXPECT_EQ(fromImage->actualTime, t);
            EXPECT_EQ(fromImage->currentSector, c.sector + static_cast<std::uint32_t>(t - time));
            EXPECT_EQ(fromImage->upperSector, 100000 + c.records - 1);
            EXPECT_STREQ(fromImage->waveText, fromCard->waveText);
            EXPECT_STREQ(fromImage->trendText, fromCard->trendText);
            EXPECT_STREQ(fromImage->infoText, fromCard->infoText);
        }
        // Another second was never read: the image does not hold it.
        fromImage->QueryCard(time + 5000);
        EXPECT_NE(fromImage->actualTime, time + 5000);
    }
}

}  // namespace
}  // namespace orvanta
