// The events of the events list as marks on the overview strip: a shaded
// span from each event's start to its end (at least two pixels wide) with a
// bar along the plot's top, red for dips and interruptions, orange for
// swells. Events outside the view are left out.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QRect>

#include "card/event_detector.h"

class QPainter;

namespace orvanta {

void PaintEventMarks(QPainter& painter, const QRect& plot, const std::vector<PowerEvent>& events,
                     std::int32_t viewFrom, std::int32_t viewTo, const std::function<int(std::int32_t)>& xOfTime);

}  // namespace orvanta
