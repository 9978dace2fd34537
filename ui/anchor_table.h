// The anchor arithmetic of dialogcore/ on Qt rectangles.
#pragma once

#include <QRect>

#include "dialogcore/anchor_table.h"

namespace orvanta {

inline QRect ApplyAnchor(const AnchorEntry& entry, const QRect& rect, std::int32_t dx, std::int32_t dy) {
    const AnchorRect moved = ApplyAnchor(entry, AnchorRect{rect.x(), rect.y(), rect.width(), rect.height()}, dx, dy);
    return QRect(moved.x, moved.y, moved.width, moved.height);
}

}  // namespace orvanta
