#include "ui/event_marks.h"

#include <algorithm>

#include <QColor>
#include <QPainter>

namespace orvanta {

void PaintEventMarks(QPainter& painter, const QRect& plot, const std::vector<PowerEvent>& events,
                     std::int32_t viewFrom, std::int32_t viewTo, const std::function<int(std::int32_t)>& xOfTime) {
    painter.save();
    painter.setClipRect(plot);
    for (const PowerEvent& event : events) {
        if (event.end < viewFrom || event.start > viewTo) continue;
        const QColor color = event.kind == EventKind::kSwell ? QColor(0xe0, 0x80, 0x00) : QColor(0xd0, 0x20, 0x20);
        const int x0 = xOfTime(std::max(event.start, viewFrom));
        const int x1 = std::max(x0 + 2, xOfTime(std::min(event.end, viewTo)));
        QColor shade = color;
        shade.setAlpha(50);
        painter.fillRect(QRect(x0, plot.top() + 1, x1 - x0, plot.height() - 2), shade);
        painter.fillRect(QRect(x0, plot.top() + 1, x1 - x0, 3), color);
    }
    painter.restore();
}

}  // namespace orvanta
