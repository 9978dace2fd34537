// Anchor tables: which child control follows which edge of a resizable dialog,
// and the arithmetic that moves one control when the client area changes size.
// Shared by the Qt and the Win32 resizable dialogs.
#pragma once

#include <cstdint>

namespace orvanta {

// One row of a dialog's anchor table.
struct AnchorEntry {
    std::int32_t controlId;  // id of a child control of the dialog
    std::int32_t mode;       // 0..5, see ApplyAnchor; any other value re-moves the control
    std::int32_t percent;    // share of the size change applied, 0..100
};

// Modes of an anchor row.
enum AnchorMode : std::int32_t {
    kAnchorMoveX = 0,         // x follows the width change
    kAnchorMoveY = 1,         // y follows the height change
    kAnchorMoveXY = 2,        // x and y follow
    kAnchorStretchX = 3,      // width grows with the width change
    kAnchorStretchY = 4,      // height grows with the height change
    kAnchorStretchXY = 5,     // width and height grow
};

// A control's rectangle in the dialog's client coordinates.
struct AnchorRect {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;

    bool operator==(const AnchorRect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const AnchorRect& other) const { return !(*this == other); }
};

// p * d / 100 in signed 32-bit arithmetic: the product first, then the
// division, truncating toward zero (50 * -7 / 100 == -3).
std::int32_t AnchorShare(std::int32_t percent, std::int32_t delta);

// Rows whose percent lies outside 0..100 are skipped.
bool AnchorPercentInRange(std::int32_t percent);

// The rectangle a control of rectangle `rect` gets for one row when the
// client area changed by dx, dy. A mode outside 0..5 leaves the rectangle as
// it is. The percent is used as given.
AnchorRect ApplyAnchor(const AnchorEntry& entry, const AnchorRect& rect, std::int32_t dx, std::int32_t dy);

}  // namespace orvanta
