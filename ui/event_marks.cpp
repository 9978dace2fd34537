#include "ui/event_marks.h"

#include <QColor>
#include <QPainter>

namespace orvanta {

void PaintEventMarks(QPainter& painter, const QRect& plot, const std::vector<PowerEvent>& events,
                     const OverviewPlot& columns, std::int32_t viewFrom, std::int32_t viewTo) {
    painter.save();
    painter.setClipRect(plot);
    for (const PowerEvent& event : events) {
        EventMarkSpan span;
        if (!EventMarkSpanOf(event, columns, viewFrom, viewTo, &span)) continue;
        const OverviewRgb rgb = event.kind == EventKind::kSwell ? kOverviewSwellRgb : kOverviewDipRgb;
        const QColor color(rgb.r, rgb.g, rgb.b);
        QColor shade = color;
        shade.setAlpha(50);
        painter.fillRect(QRect(span.x0, plot.top() + 1, span.x1 - span.x0, plot.height() - 2), shade);
        painter.fillRect(QRect(span.x0, plot.top() + 1, span.x1 - span.x0, 3), color);
    }
    painter.restore();
}

}  // namespace orvanta
