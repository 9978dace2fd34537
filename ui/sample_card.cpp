#include "ui/sample_card.h"

#include <cstring>

#include "card/local_time.h"
#include "cardimage/card_image.h"

namespace orvanta {

void WriteSampleCard(MemoryDisk& disk, const SampleCard& card) {
    cardimage::CardContents contents;
    contents.start = LocalStandardFields(card.firstTime);
    contents.records = card.records > 0 ? static_cast<std::uint32_t>(card.records) : 1u;
    contents.perSecond = {1};
    contents.sectors = disk.sizeInSectors;
    contents.serial = card.serial;
    contents.deviceByte = card.deviceByte;
    contents.gapEvery = card.gapEvery;
    contents.gapSeconds = card.gapSeconds;
    cardimage::GenerateCard(contents, [&disk](std::uint32_t sector, const std::uint8_t* bytes) {
        std::memcpy(disk.Sector(sector).data(), bytes, kSectorSize);
    });
}

}  // namespace orvanta
