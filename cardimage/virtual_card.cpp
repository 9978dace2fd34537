#include "cardimage/virtual_card.h"

#include <algorithm>
#include <cstring>

namespace orvanta {
namespace cardimage {

bool VirtualCard::Supports(const CardContents& contents, std::string* error) {
    if (!Validate(contents, error)) return false;
    const bool onePerSecond = std::all_of(contents.perSecond.begin(), contents.perSecond.end(),
                                          [](std::uint32_t n) { return n == 1; });
    if (!onePerSecond || contents.gapEvery != 0) {
        if (error) {
            *error = "a card computed on demand needs exactly one record in every second: records per second 1 "
                     "and no gaps";
        }
        return false;
    }
    return true;
}

VirtualCard::VirtualCard(const CardContents& contents)
    : contents_(contents), oldestTime_(LocalStandardTime(contents.start)) {}

CardLayout VirtualCard::Layout() const {
    CardLayout layout = RingLayoutOf(contents_);
    layout.oldestTime = oldestTime_;
    layout.newestTime = static_cast<std::int32_t>(oldestTime_ + static_cast<std::int64_t>(contents_.records) - 1);
    return layout;
}

bool VirtualCard::SectorAt(std::uint64_t sector, std::uint8_t* out) const {
    std::memset(out, 0, kSectorSize);
    if (sector >= contents_.sectors) return false;
    if (sector == kInfoSector) {
        BuildInfoSector(contents_.serial, contents_.deviceByte, out);
        return true;
    }
    const bool testSector = sector == kTestSector1 || sector == kTestSector2;
    const std::uint64_t upper = std::uint64_t{kBaseSector} + contents_.records - 1;
    if (sector >= kBaseSector && sector <= upper) {
        // The oldest record lies at baseSector + wrap; the current pass of a
        // wrapped ring, below it, holds the newest records.
        const std::uint32_t ringStart = kBaseSector + contents_.wrap;
        const std::uint32_t physical = static_cast<std::uint32_t>(sector);
        const std::uint32_t index = physical >= ringStart ? physical - ringStart
                                                          : physical - kBaseSector + (contents_.records - contents_.wrap);
        BuildRecordSector(static_cast<std::int32_t>(oldestTime_ + static_cast<std::int64_t>(index)), index, out);
        if (!contents_.presence && testSector) out[0] = 0;
        return true;
    }
    if (contents_.presence && testSector) {
        out[0] = kRecordMarker;
        return true;
    }
    return false;
}

}  // namespace cardimage
}  // namespace orvanta
