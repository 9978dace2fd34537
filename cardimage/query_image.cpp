#include "cardimage/query_image.h"

#include <memory>

#include "card/card_reader.h"
#include "cardimage/sparse_image.h"
#include "cardimage/virtual_card_volume.h"
#include "platform/fault_volume.h"

namespace orvanta {
namespace cardimage {

std::set<std::uint32_t> SectorsReadByQueries(const VirtualCard& card, const std::vector<std::int32_t>& queryTimes) {
    std::vector<VolumeEvent> reads;
    FaultVolumeSystem volumes(
        std::make_unique<VirtualCardVolumeSystem>(card, DevicePathOf(kQueryImageDrive)));
    volumes.log = &reads;
    // The reader is large (its texts); its constructor runs the drive search.
    auto reader = std::make_unique<CCardReader>(volumes);
    for (std::int32_t time : queryTimes) reader->QueryCard(time);

    std::set<std::uint32_t> sectors{kInfoSector, kTestSector1, kTestSector2};
    for (const VolumeEvent& read : reads) {
        if (read.kind != VolumeEvent::kRead || read.requested == 0) continue;
        const std::uint64_t first = read.offset / kSectorSize;
        const std::uint64_t last = std::min<std::uint64_t>((read.offset + read.requested - 1) / kSectorSize,
                                                           card.Sectors() - 1);
        for (std::uint64_t s = first; s <= last; ++s) sectors.insert(static_cast<std::uint32_t>(s));
    }
    return sectors;
}

bool WriteQueryImage(const std::string& path, const CardContents& contents, const std::vector<std::int32_t>& queryTimes,
                     QueryImageResult* result, std::string* error) {
    if (!VirtualCard::Supports(contents, error)) return false;
    const VirtualCard card(contents);
    const std::set<std::uint32_t> sectors = SectorsReadByQueries(card, queryTimes);
    std::uint64_t written = 0;
    const bool ok = WriteSparseImage(
        path, contents.sectors,
        [&](const SectorSink& emit) {
            std::uint8_t bytes[kSectorSize];
            for (std::uint32_t sector : sectors) {
                if (!card.SectorAt(sector, bytes)) continue;  // a hole reads as these zeros
                emit(sector, bytes);
                ++written;
            }
        },
        error);
    if (!ok) return false;
    if (result) {
        result->layout = card.Layout();
        result->sectorsWritten = written;
    }
    return true;
}

}  // namespace cardimage
}  // namespace orvanta
