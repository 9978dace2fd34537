#include "ui/sample_card.h"

#include <cstring>

#include "card/local_time.h"
#include "cardimage/card_image.h"

namespace orvanta {

void WriteSampleCard(MemoryDisk& disk, const SampleCard& card) {
    cardimage::CardSpec spec;
    spec.start = LocalStandardFields(card.firstTime);
    spec.records = card.records > 0 ? static_cast<std::uint32_t>(card.records) : 1u;
    spec.perSecond = {1};
    spec.sectors = disk.sizeInSectors;
    spec.serial = card.serial;
    spec.deviceByte = card.deviceByte;
    cardimage::GenerateCard(spec, [&disk](std::uint32_t sector, const std::uint8_t* bytes) {
        std::memcpy(disk.Sector(sector).data(), bytes, cardimage::kSectorSize);
    });
}

}  // namespace orvanta
