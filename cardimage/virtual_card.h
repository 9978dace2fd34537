// A synthetic card whose sectors are computed when asked for instead of being
// generated in one pass: any sector of a card with hundreds of millions of
// records costs the same. It serves contents in which every second holds
// exactly one record and no second is left out, so that the time of a record
// follows from its logical index alone (the oldest record's time + index). Its
// sectors are byte for byte the ones GenerateCard writes for the same contents.
#pragma once

#include <cstdint>
#include <string>

#include "cardimage/card_image.h"

namespace orvanta {
namespace cardimage {

class VirtualCard {
public:
    // True when the contents are valid and have one record in every second
    // (every entry of the pattern 1, no gaps); otherwise false with a message.
    static bool Supports(const CardContents& contents, std::string* error);

    // The contents must be supported.
    explicit VirtualCard(const CardContents& contents);

    const CardContents& Contents() const { return contents_; }
    std::uint64_t Sectors() const { return contents_.sectors; }

    // Where the ring lies and its oldest and newest time, as GenerateCard
    // reports them.
    CardLayout Layout() const;

    // The 512 bytes of `sector`. Returns false, with `out` zeroed, for a
    // sector that holds nothing (never written, or past the end of the card).
    bool SectorAt(std::uint64_t sector, std::uint8_t* out) const;

private:
    CardContents contents_;
    std::int32_t oldestTime_;
};

}  // namespace cardimage
}  // namespace orvanta
