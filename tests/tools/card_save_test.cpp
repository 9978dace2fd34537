// Card images saved from a card: the image answers every query as the card
// does (the request's header block and body for a table of seconds), holds
// the sectors read as zeros as holes, carries a digest sha256sum accepts, and
// a card pulled mid-copy, a cancel or an existing image leave no new image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <vector>

#include "card/card_reader.h"
#include "card/card_scan_source.h"
#include "cardimage/card_image.h"
#include "cardimage/card_save.h"
#include "platform/drive_map.h"
#include "platform/fault_volume.h"
#include "platform/memory_volume.h"
#include "request/query_road.h"
#include "tests/tools/tool_test_support.h"

namespace orvanta {
namespace {

using cardimage::CardContents;
using cardimage::CardSaveOptions;
using cardimage::CardSaveStatus;
using tooltest::ScopedTimeZone;
using tooltest::TempDir;



// A reader over drive E: mapped to `path`, with its volume system.
struct DriveReader {
    explicit DriveReader(const std::string& path) {
        DriveMap map;
        map.Set('E', path);
        volumes = MakePlatformVolumeSystem(map);
        reader = std::make_unique<CCardReader>(*volumes);
    }
    std::unique_ptr<RawVolumeSystem> volumes;
    std::unique_ptr<CCardReader> reader;
};

TEST(CardSave, SavedImageAnswersEveryQueryAsTheCard) {
    ScopedTimeZone zone("Asia/Shanghai");
    struct Case {
        std::uint32_t records, wrap, gapEvery, gapSeconds;
        std::vector<std::uint32_t> perSecond;
    };
    const Case cases[] = {
        {3000, 0, 0, 0, {1}},
        {5000, 1200, 600, 300, {1, 2, 3}},  // wrapped, pauses, several records a second
        {10, 0, 0, 0, {1}},                 // the test sectors lie beyond the ring
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.records) + " records, wrap " + std::to_string(c.wrap));
        TempDir temp;
        CardContents contents;
        contents.records = c.records;
        contents.wrap = c.wrap;
        contents.gapEvery = c.gapEvery;
        contents.gapSeconds = c.gapSeconds;
        contents.perSecond = c.perSecond;
        cardimage::CardLayout layout;
        std::string error;
        ASSERT_TRUE(cardimage::WriteCardImage(temp / "card.img", contents, &layout, &error)) << error;

        DriveReader card(temp / "card.img");
        ASSERT_EQ(card.reader->driveCode, 'E');
        std::uint64_t lastDone = 0, progressCalls = 0;
        CardSaveOptions options;
        options.sectorsPerRead = 700;
        options.progress = [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_GT(done, lastDone);
            EXPECT_LE(done, total);
            lastDone = done;
            ++progressCalls;
        };
        const cardimage::CardSaveResult saved =
            cardimage::SaveCardImage(CardScanSource(*card.reader), temp / "saved.img", options);
        ASSERT_EQ(saved.status, CardSaveStatus::kSaved) << saved.message;
        EXPECT_FALSE(testenv::PathExists(temp / "saved.img.part"));
        EXPECT_EQ(saved.ringSectors, layout.upperSector - kBaseSector + 1);
        EXPECT_EQ(saved.sectorsWritten, c.records + 1 + (c.records < 1002 ? 2 : 0));  // records, info, test sectors
        EXPECT_GE(progressCalls, saved.sectorsCopied / 700);
        // Holes: the image takes about what its written sectors take.
        struct stat info {};
        ASSERT_EQ(::stat((temp / "saved.img").c_str(), &info), 0);
        EXPECT_LT(static_cast<std::uint64_t>(info.st_blocks) * 512, saved.sectorsWritten * 512 + (1u << 20));
        // The digest file as sha256sum writes it, and sha256sum accepts it.
        EXPECT_EQ(testenv::ReadFileBytes(temp / "saved.img.sha256"), saved.sha256 + "  saved.img\n");
        EXPECT_EQ(std::system(("cd '" + temp.Path() + "' && sha256sum --quiet -c saved.img.sha256").c_str()), 0);

        DriveReader image(temp / "saved.img");
        ASSERT_EQ(image.reader->driveCode, 'E');
        const std::string ini = temp.WriteFile("orvanta-vemlar.ini", "[Common]\nserverBaseUrl=http://127.0.0.1:1/a\n");
        const std::int32_t oldest = layout.oldestTime, newest = layout.newestTime;
        const std::int32_t seconds[] = {oldest - 5, oldest, oldest + 7, oldest + (newest - oldest) / 2, newest - 1,
                                        newest, newest + 100, oldest + 700};
        for (const std::int32_t second : seconds) {
            SCOPED_TRACE(FormatLocalStandard(second));
            const PreparedQuery fromCard = PrepareQuery(*card.reader, ini, second);
            const PreparedQuery fromImage = PrepareQuery(*image.reader, ini, second);
            EXPECT_GT(fromImage.settings.actualTime, 0);
            EXPECT_EQ(fromImage.headerBlock, fromCard.headerBlock);
            EXPECT_TRUE(fromImage.body == fromCard.body);
        }
    }
}

TEST(CardSave, PulledCardCancelOrExistingImageLeaveNoImage) {
    ScopedTimeZone zone("Asia/Shanghai");
    MemoryVolumeSystem memory;
    MemoryDisk& disk = memory.Attach('E');
    CardContents contents;
    contents.records = 6000;
    cardimage::GenerateCard(contents, [&](std::uint32_t s, const std::uint8_t* bytes) {
        std::copy(bytes, bytes + 512, disk.Sector(s).begin());
    });
    FaultVolumeSystem faults(memory);
    CCardReader reader(faults);
    ASSERT_EQ(reader.driveCode, 'E');
    enum class Stop { kPull, kCancel, kExisting, kNoFolder };
    struct Case {
        Stop stop;
        CardSaveStatus status;
        const char* messagePart;
    };
    const Case cases[] = {
        {Stop::kPull, CardSaveStatus::kCardGone, "stopped answering"},
        {Stop::kCancel, CardSaveStatus::kCancelled, "cancelled"},
        {Stop::kExisting, CardSaveStatus::kImageExists, "exists"},
        {Stop::kNoFolder, CardSaveStatus::kWriteFailed, "cannot create"},  // and no reading thread left waiting
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.messagePart);
        TempDir temp;
        const std::string image = c.stop == Stop::kNoFolder ? temp / "gone/saved.img" : temp / "saved.img";
        if (c.stop == Stop::kExisting) temp.WriteFile("saved.img", "kept");
        faults.faults = FaultPlan();
        bool cancel = false;
        CardSaveOptions options;
        options.sectorsPerRead = 1000;
        options.cancel = [&] { return cancel; };
        options.progress = [&](std::uint64_t done, std::uint64_t) {
            if (done < 3000) return;
            if (c.stop == Stop::kPull) faults.faults.alwaysFailRead = true;  // pulled from its reader
            if (c.stop == Stop::kCancel) cancel = true;
        };
        const cardimage::CardSaveResult result = cardimage::SaveCardImage(CardScanSource(reader), image, options);
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.message.find(c.messagePart), std::string::npos) << result.message;
        EXPECT_FALSE(testenv::PathExists(image + ".part"));
        EXPECT_FALSE(testenv::PathExists(image + ".sha256"));
        if (c.stop == Stop::kExisting) {
            EXPECT_EQ(testenv::ReadFileBytes(image), "kept");
            options.force = true;
            EXPECT_EQ(cardimage::SaveCardImage(CardScanSource(reader), image, options).status, CardSaveStatus::kSaved);
            EXPECT_NE(testenv::ReadFileBytes(image), "kept");
        } else {
            EXPECT_FALSE(testenv::PathExists(image));
            EXPECT_LT(result.sectorsCopied, 6000u);
        }
    }
}

}  // namespace
}  // namespace orvanta
