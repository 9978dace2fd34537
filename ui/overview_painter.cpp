#include "ui/overview_painter.h"

#include <algorithm>
#include <functional>

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include "card/local_time.h"
#include "dialogcore/overview_drawing.h"
#include "dialogcore/overview_view.h"
#include "ui/event_marks.h"

namespace orvanta {

namespace {

const QColor kChannelBColor(0x1f, 0x5f, 0xbf);  // voltage
const QColor kChannelAColor(0xd0, 0x60, 0x10);  // current

QString AxisText(double value, const char* unit) {
    return QStringLiteral("%1 %2").arg(QString::number(value, 'g', 4), QLatin1String(unit));
}

// One channel's envelope as filled bands, one per run of columns.
void PaintBand(QPainter& painter, const std::vector<EnvelopeColumn>& columns, bool channelA,
               const std::function<double(double)>& yOf, QColor color) {
    auto drawRun = [&](std::size_t begin, std::size_t end) {
        QPolygonF band;
        for (std::size_t i = begin; i < end; ++i) {
            band << QPointF(columns[i].x, yOf(channelA ? columns[i].maxA : columns[i].maxB));
        }
        for (std::size_t i = end; i-- > begin;) {
            band << QPointF(columns[i].x, yOf(channelA ? columns[i].minA : columns[i].minB));
        }
        if (end - begin == 1) band << band.first() + QPointF(0.5, 0);  // a lone column stays visible
        QColor fill = color;
        fill.setAlpha(channelA ? 70 : 110);
        painter.setBrush(fill);
        painter.drawPolygon(band);
    };
    painter.setPen(QPen(color, channelA ? 1.0 : 1.2));
    std::size_t begin = 0;
    for (std::size_t i = 1; i <= columns.size(); ++i) {
        if (i == columns.size() || columns[i].startsRun) {
            if (i > begin) drawRun(begin, i);
            begin = i;
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void PaintTimeAxis(QPainter& painter, const QPalette& palette, const QFontMetrics& metrics,
                   const OverviewGeometry& geometry) {
    const QRect& plot = geometry.Plot();
    const int textHeight = metrics.height();
    const QRect timeRow(plot.left(), plot.bottom() + 2, plot.width(), textHeight);
    const TimeAxisLayout axis = TimeAxisLayoutOf(metrics, geometry);
    painter.setPen(palette.text().color());
    painter.drawText(timeRow, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(axis.first));
    painter.drawText(timeRow, Qt::AlignRight | Qt::AlignTop, QString::fromStdString(axis.last));
    for (const TimeAxisLabel& label : axis.labels) {
        const QString text = QString::fromStdString(label.text);
        const int half = metrics.horizontalAdvance(text) / 2;
        painter.drawText(QRect(label.x - half, timeRow.top(), 2 * half + 2, textHeight),
                         Qt::AlignHCenter | Qt::AlignTop, text);
    }
    painter.setPen(palette.mid().color());
    for (int x : axis.ticks) painter.drawLine(x, plot.bottom() - 3, x, plot.bottom() + 1);
}

// The record shown: a line across the plot above the curves and the event
// marks, or, when it lies outside the view, an arrow at that edge.
void PaintMarker(QPainter& painter, const OverviewGeometry& geometry, std::int32_t marker) {
    const QRect& plot = geometry.Plot();
    const OverviewMarkerPlace place = PlaceOverviewMarker(geometry.Columns(), geometry.From(), geometry.To(), marker);
    const QColor color(kOverviewMarkerRgb.r, kOverviewMarkerRgb.g, kOverviewMarkerRgb.b);
    if (place.kind == OverviewMarkerPlace::kInView) {
        painter.setPen(QPen(color, 2));
        painter.drawLine(place.x, plot.top(), place.x, plot.bottom());
    } else if (place.kind != OverviewMarkerPlace::kNone) {
        const int middle = plot.center().y();
        const int size = 6;
        const int tip = place.kind == OverviewMarkerPlace::kBefore ? plot.left() + 2 : plot.right() - 2;
        const int base = place.kind == OverviewMarkerPlace::kBefore ? tip + size : tip - size;
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPolygon(QPolygon({QPoint(tip, middle), QPoint(base, middle - size), QPoint(base, middle + size)}));
        painter.setBrush(Qt::NoBrush);
    }
}

}  // namespace

OverviewGeometry::OverviewGeometry(const QFont& font, const QSize& size, std::int32_t from, std::int32_t to)
    : from_(from), to_(to) {
    const QFontMetrics metrics(font);
    const int axis = metrics.horizontalAdvance(QStringLiteral("00000 V")) + 6;
    plot_ = QRect(axis, 2, std::max(1, size.width() - 2 * axis), std::max(1, size.height() - metrics.height() - 4));
}

int OverviewGeometry::XOfTime(std::int32_t time) const { return OverviewXOfTime(Columns(), from_, to_, time); }

std::int32_t OverviewGeometry::TimeOfX(int x) const { return OverviewTimeOfX(Columns(), from_, to_, x); }

TimeAxisLayout TimeAxisLayoutOf(const QFontMetrics& metrics, const OverviewGeometry& geometry) {
    return LayoutTimeAxis(geometry.Columns(), geometry.From(), geometry.To(), [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    });
}

void PaintOverview(QPainter& painter, const QPalette& palette, const QFont& font, const QRect& widgetRect,
                   const OverviewGeometry& geometry, const OverviewFrame& frame) {
    const QRect& plot = geometry.Plot();
    const QFontMetrics metrics(font);
    const std::vector<OverviewSample>& samples = *frame.samples;
    painter.fillRect(widgetRect, palette.base());
    painter.setPen(palette.mid().color());
    painter.drawRect(plot.adjusted(0, 0, -1, -1));

    if (samples.empty()) {
        painter.setPen(palette.text().color());
        if (frame.scanning) {
            const QRect bar = plot.adjusted(2, plot.height() - 5, -2, -2);
            painter.fillRect(QRect(bar.left(), bar.top(), static_cast<int>(bar.width() * frame.progress), bar.height()),
                             palette.highlight());
        }
        painter.drawText(plot, Qt::AlignCenter, frame.note);
        return;
    }

    // Channel B (V) on the left axis, channel A (A) on the right.
    const std::vector<EnvelopeColumn> columns =
        BuildEnvelope(samples, geometry.Columns(), geometry.From(), geometry.To(), frame.gapSeconds);
    // Each axis fitted to its channel's data, with a margin.
    const OverviewAxisRange axisA = EnvelopeAxisRange(columns, true);
    const OverviewAxisRange axisB = EnvelopeAxisRange(columns, false);
    const double topA = axisA.top, bottomA = axisA.bottom;
    const double topB = axisB.top, bottomB = axisB.bottom;
    auto yOf = [&plot](double value, double top, double bottom) {
        const double share = std::clamp((value - bottom) / (top - bottom), 0.0, 1.0);
        return plot.bottom() - 1 - share * (plot.height() - 3);
    };

    // Pauses: shaded, and the bands stop there.
    const QColor pauseColor = palette.window().color().darker(108);
    for (std::size_t i = 0; i + 1 < samples.size(); ++i) {
        if (samples[i + 1].time - samples[i].time <= frame.gapSeconds) continue;
        const int x0 = geometry.XOfTime(std::max(samples[i].time, geometry.From()));
        const int x1 = geometry.XOfTime(std::min(samples[i + 1].time, geometry.To()));
        if (x1 - x0 > 1) painter.fillRect(QRect(x0 + 1, plot.top() + 1, x1 - x0 - 1, plot.height() - 2), pauseColor);
    }

    if (frame.events != nullptr) {
        PaintEventMarks(painter, plot, *frame.events, geometry.Columns(), geometry.From(), geometry.To());
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(plot);
    // Channel A first, lighter, so that channel B stays on top.
    if (!frame.oneQuantity) {
        PaintBand(painter, columns, true, [&](double v) { return yOf(v, topA, bottomA); }, kChannelAColor);
    }
    PaintBand(painter, columns, false, [&](double v) { return yOf(v, topB, bottomB); }, kChannelBColor);
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing, false);

    PaintMarker(painter, geometry, frame.marker);
    if (frame.dragFrom >= 0 && frame.dragTo >= 0) {
        QColor selection = palette.highlight().color();
        selection.setAlpha(60);
        painter.fillRect(QRect(QPoint(std::min(frame.dragFrom, frame.dragTo), plot.top()),
                               QPoint(std::max(frame.dragFrom, frame.dragTo), plot.bottom())),
                         selection);
    }

    // Value axes with their units, then the time axis.
    const int textHeight = metrics.height();
    const int rightWidth = widgetRect.width() - plot.right() - 4;
    const QByteArray unitB = frame.oneQuantity ? frame.unit.toUtf8() : QByteArray("V");
    painter.setPen(kChannelBColor);
    painter.drawText(QRect(0, plot.top(), plot.left() - 3, textHeight), Qt::AlignRight | Qt::AlignTop,
                     AxisText(topB, unitB.constData()).trimmed());
    painter.drawText(QRect(0, plot.bottom() - textHeight, plot.left() - 3, textHeight),
                     Qt::AlignRight | Qt::AlignBottom, AxisText(bottomB, unitB.constData()).trimmed());
    if (!frame.oneQuantity) {
        painter.setPen(kChannelAColor);
        painter.drawText(QRect(plot.right() + 4, plot.top(), rightWidth, textHeight), Qt::AlignLeft | Qt::AlignTop,
                         AxisText(topA, "A"));
        painter.drawText(QRect(plot.right() + 4, plot.bottom() - textHeight, rightWidth, textHeight),
                         Qt::AlignLeft | Qt::AlignBottom, AxisText(bottomA, "A"));
    }
    PaintTimeAxis(painter, palette, metrics, geometry);

    // A message or progress at the plot's corner; otherwise the sample
    // under the mouse, beside the cursor.
    QRect box;
    QString label = frame.note;
    if (!label.isEmpty()) {
        box = QRect(QPoint(plot.left() + 4, plot.top() + 2),
                    QSize(metrics.horizontalAdvance(label) + 8, textHeight + 2));
    } else if (frame.hover.x() >= 0 && !frame.hoverText.isEmpty()) {
        label = frame.hoverText;
        const OverviewBox placed =
            OverviewHoverBox(OverviewBox{plot.left(), plot.top(), plot.width(), plot.height()}, frame.hover.x(),
                             frame.hover.y(), metrics.horizontalAdvance(label) + 8, textHeight + 2);
        box = QRect(placed.left, placed.top, placed.width, placed.height);
    }
    if (!label.isEmpty()) {
        QColor back = palette.toolTipBase().color();
        back.setAlpha(220);
        painter.fillRect(box, back);
        painter.setPen(palette.toolTipText().color());
        painter.drawText(box, Qt::AlignCenter, label);
    }
}

}  // namespace orvanta
