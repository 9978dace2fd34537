#include "dialogcore/anchor_table.h"

namespace orvanta {

std::int32_t AnchorShare(std::int32_t percent, std::int32_t delta) {
    // Percent is at most 100 in magnitude for every row that is applied and
    // deltas are window sizes, so the product stays inside 32 bits; C++
    // division truncates toward zero.
    return static_cast<std::int32_t>(percent * delta) / 100;
}

bool AnchorPercentInRange(std::int32_t percent) {
    return percent >= 0 && percent <= 100;
}

AnchorRect ApplyAnchor(const AnchorEntry& entry, const AnchorRect& rect, std::int32_t dx, std::int32_t dy) {
    std::int32_t x = rect.x;
    std::int32_t y = rect.y;
    std::int32_t w = rect.width;
    std::int32_t h = rect.height;
    const std::int32_t p = entry.percent;
    switch (entry.mode) {
    case kAnchorMoveX:
        x += AnchorShare(p, dx);
        break;
    case kAnchorMoveY:
        y += AnchorShare(p, dy);
        break;
    case kAnchorMoveXY:
        x += AnchorShare(p, dx);
        y += AnchorShare(p, dy);
        break;
    case kAnchorStretchX:
        w += AnchorShare(p, dx);
        break;
    case kAnchorStretchY:
        h += AnchorShare(p, dy);
        break;
    case kAnchorStretchXY:
        w += AnchorShare(p, dx);
        h += AnchorShare(p, dy);
        break;
    default:
        break;
    }
    return AnchorRect{x, y, w, h};
}

}  // namespace orvanta
