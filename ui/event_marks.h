// The events of the events list as marks on the overview strip: a shaded
// span from each event's start to its end (at least two pixels wide) with a
// bar along the plot's top, red for dips and interruptions, orange for
// swells (EventMarkSpanOf, as the Windows strip). Events outside the view
// are left out.
#pragma once

#include <cstdint>
#include <vector>

#include <QRect>

#include "card/event_detector.h"
#include "dialogcore/event_list.h"
#include "dialogcore/overview_drawing.h"

class QPainter;

namespace orvanta {

void PaintEventMarks(QPainter& painter, const QRect& plot, const std::vector<PowerEvent>& events,
                     const OverviewPlot& columns, std::int32_t viewFrom, std::int32_t viewTo);

}  // namespace orvanta
