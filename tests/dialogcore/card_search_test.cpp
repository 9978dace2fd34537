// The search for a card put in after start, shared by both windows: the
// two-second look while there is none, and the new reader made in place.
#include <gtest/gtest.h>

#include "card/card_layout.h"
#include "card/card_reader.h"
#include "dialogcore/card_search.h"
#include "platform/memory_volume.h"

namespace orvanta {
namespace {

// A card as the drive search sees it: both test sectors marked.
void PutCardIn(MemoryVolumeSystem& volumes) {
    MemoryDisk& disk = volumes.Attach('E');
    disk.Sector(kTestSector1)[0] = kRecordMarker;
    disk.Sector(kTestSector2)[0] = kRecordMarker;
}

TEST(CardSearch, ALookFindsACardPutInAndTheRenewedReaderStaysInPlace) {
    struct Case {
        const char* name;
        bool cardAtStart;
        bool cardLater;
        bool polls;       // the window looks every two seconds
        bool found;       // a look finds a card
        char afterRenew;  // the renewed reader's drive (0: none)
    };
    const Case cases[] = {
        {"none at start, none later", false, false, true, false, 0},
        {"none at start, put in later", false, true, true, true, 'E'},
        {"there at start, still there", true, true, false, false, 'E'},
        {"there at start, pulled", true, false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryVolumeSystem volumes;
        if (c.cardAtStart) PutCardIn(volumes);
        CCardReader reader(volumes);
        const CCardReader* const place = &reader;
        if (c.cardLater && !c.cardAtStart) PutCardIn(volumes);
        if (!c.cardLater && c.cardAtStart) volumes.Detach(DevicePathOf('E'));
        EXPECT_EQ(WantsCardPoll(reader), c.polls);
        EXPECT_EQ(CardPutIn(reader), c.found);
        RenewCardReader(reader);
        EXPECT_EQ(&reader, place);
        EXPECT_EQ(&reader.Volumes(), &volumes);
        EXPECT_EQ(reader.StartupDriveCode(), c.afterRenew == 0 ? kNoCardDriveCode : c.afterRenew);
        EXPECT_EQ(WantsCardPoll(reader), c.afterRenew == 0);
    }
}

}  // namespace
}  // namespace orvanta
