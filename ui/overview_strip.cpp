#include "ui/overview_strip.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include "card/local_time.h"
#include "ui/event_marks.h"
#include "ui/ui_strings.h"

namespace orvanta {

// What the worker and the strip share while a scan runs.
struct COverviewStrip::ScanJob {
    std::atomic<bool> cancel{false};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
};

namespace {

const QColor kChannelBColor(0x1f, 0x5f, 0xbf);  // voltage
const QColor kChannelAColor(0xd0, 0x60, 0x10);  // current
constexpr int kDragThreshold = 4;                // pixels before a press becomes a drag
constexpr int kZoomDelayMs = 250;                // wheel steps are gathered before a rescan
constexpr std::int32_t kShortestView = 10;       // seconds

QString TimeText(std::int32_t time) { return QString::fromStdString(FormatLocalStandard(time)); }

// The largest trend value of a channel, rounded up to a value an axis can show.
int AxisTop(int largest) {
    if (largest <= 0) return 1;
    int step = 1;
    while (step * 10 < largest) step *= 10;
    return (largest + step - 1) / step * step;
}

}  // namespace

COverviewStrip::COverviewStrip(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] { update(); });
    zoomTimer_ = new QTimer(this);
    zoomTimer_->setSingleShot(true);
    zoomTimer_->setInterval(kZoomDelayMs);
    connect(zoomTimer_, &QTimer::timeout, this, [this] {
        OverviewRequest request;
        request.hasFrom = true;
        request.from = pendingFrom_;
        request.hasTo = true;
        request.to = pendingTo_;
        Scan(request);
    });

    rescanAction_ = new QAction(text::Tr(text::kOverviewRescan), this);
    rescanAction_->setObjectName(QStringLiteral("overviewRescanAction"));
    rescanAction_->setShortcut(QKeySequence(Qt::Key_F5));
    rescanAction_->setShortcutContext(Qt::WindowShortcut);
    connect(rescanAction_, &QAction::triggered, this, &COverviewStrip::ShowWholeCard);
    wholeCardAction_ = new QAction(text::Tr(text::kOverviewWholeCard), this);
    wholeCardAction_->setShortcut(QKeySequence(Qt::Key_Home));
    wholeCardAction_->setShortcutContext(Qt::WidgetShortcut);
    connect(wholeCardAction_, &QAction::triggered, this, &COverviewStrip::ShowWholeCard);
    cancelAction_ = new QAction(text::Tr(text::kOverviewCancel), this);
    cancelAction_->setEnabled(false);
    connect(cancelAction_, &QAction::triggered, this, &COverviewStrip::CancelScan);
    addAction(rescanAction_);
    addAction(wholeCardAction_);
    addAction(cancelAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

COverviewStrip::~COverviewStrip() {
    if (job_) job_->cancel = true;
    WaitForWorker();
}

void COverviewStrip::StartScan(const CCardReader& reader) {
    overview_ = std::make_unique<CardOverview>(reader);
    samples_.clear();
    zoomed_ = false;
    Scan(OverviewRequest());
}

void COverviewStrip::ShowNoCard() {
    if (job_) job_->cancel = true;
    WaitForWorker();
    overview_.reset();
    samples_.clear();
    scanning_ = false;
    message_ = text::Tr(text::kOverviewNoCard);
    update();
}

void COverviewStrip::ShowWholeCard() {
    if (!overview_) return;
    zoomTimer_->stop();
    zoomed_ = false;
    Scan(OverviewRequest());
}

void COverviewStrip::ZoomTo(std::int32_t from, std::int32_t to) {
    if (!overview_ || cardNewest_ <= cardOldest_) return;
    if (from > to) std::swap(from, to);
    from = std::max(from, cardOldest_);
    to = std::min(to, cardNewest_);
    if (to - from < kShortestView) {
        const std::int32_t middle = from + (to - from) / 2;
        from = std::max(cardOldest_, middle - kShortestView / 2);
        to = std::min(cardNewest_, from + kShortestView);
    }
    if (from <= cardOldest_ && to >= cardNewest_) {
        ShowWholeCard();
        return;
    }
    viewFrom_ = pendingFrom_ = from;
    viewTo_ = pendingTo_ = to;
    zoomed_ = true;
    update();
    zoomTimer_->start();
}

void COverviewStrip::Scan(const OverviewRequest& request) {
    if (!overview_) return;
    if (job_) job_->cancel = true;
    WaitForWorker();

    auto job = std::make_shared<ScanJob>();
    job_ = job;
    const std::uint64_t generation = ++generation_;
    CardOverview overview = *overview_;  // the worker's own copy
    overview.SetProgressHook([job](std::size_t done, std::size_t total) {
        job->done = done;
        job->total = total;
    });
    overview.SetCancelHook([job] { return job->cancel.load(); });
    COverviewStrip* strip = this;
    // The worker opens the card's volume itself; the strip waits for it
    // before it goes, so `strip` outlives the worker.
    worker_ = QThread::create([overview, request, strip, generation]() {
        const OverviewResult result = overview.Scan(request);
        QMetaObject::invokeMethod(
            strip, [strip, generation, result] { strip->OnScanDone(generation, result); }, Qt::QueuedConnection);
    });
    scanning_ = true;
    message_.clear();
    cancelAction_->setEnabled(true);
    worker_->start();
    progressTimer_->start();
    update();
}

void COverviewStrip::CancelScan() {
    if (!scanning_) return;
    if (job_) job_->cancel = true;
    ++generation_;  // whatever the worker still reports is dropped
    WaitForWorker();
    scanning_ = false;
    progressTimer_->stop();
    cancelAction_->setEnabled(false);
    message_ = text::Tr(text::kOverviewCancelled);
    update();
    emit scanFinished();
}

void COverviewStrip::WaitForWorker() {
    if (worker_ == nullptr) return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void COverviewStrip::OnScanDone(std::uint64_t generation, const OverviewResult& result) {
    if (generation != generation_) return;
    WaitForWorker();
    scanning_ = false;
    progressTimer_->stop();
    cancelAction_->setEnabled(false);
    message_.clear();
    switch (result.status) {
        case OverviewStatus::kNoDevice:
            samples_.clear();
            message_ = text::Tr(text::kOverviewNoDevice);
            break;
        case OverviewStatus::kNoRecords:
            samples_.clear();
            message_ = text::Tr(text::kOverviewNoRecords);
            break;
        case OverviewStatus::kCancelled:
            message_ = text::Tr(text::kOverviewCancelled);
            break;
        case OverviewStatus::kCardGone:
        case OverviewStatus::kDone:
            samples_ = result.samples;
            if (result.status == OverviewStatus::kCardGone) message_ = text::Tr(text::kOverviewCardGone);
            if (samples_.empty() && message_.isEmpty()) message_ = text::Tr(text::kOverviewEmptyRange);
            if (!zoomed_) {
                cardOldest_ = result.oldestTime;
                cardNewest_ = result.newestTime;
                viewFrom_ = cardOldest_;
                viewTo_ = cardNewest_;
            }
            break;
    }
    // A step between samples far beyond the usual one is a pause of the
    // recorder; the lines are broken there.
    std::vector<std::int32_t> steps;
    for (std::size_t i = 1; i < samples_.size(); ++i) steps.push_back(samples_[i].time - samples_[i - 1].time);
    gapSeconds_ = 2;
    if (!steps.empty()) {
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        gapSeconds_ = std::max<std::int32_t>(2, 4 * steps[steps.size() / 2]);
    }
    update();
    emit scanFinished();
}

void COverviewStrip::SetMarker(std::int32_t time) {
    marker_ = time;
    update();
}

void COverviewStrip::SetEventMarks(const std::vector<PowerEvent>& events) {
    eventMarks_ = events;
    update();
}

QRect COverviewStrip::PlotRect() const {
    const QFontMetrics metrics(font());
    const int axis = metrics.horizontalAdvance(QStringLiteral("00000 V")) + 6;
    return QRect(axis, 2, std::max(1, width() - 2 * axis), std::max(1, height() - metrics.height() - 4));
}

int COverviewStrip::XOfTime(std::int32_t time) const {
    const QRect plot = PlotRect();
    if (viewTo_ <= viewFrom_) return plot.center().x();
    const double share = (static_cast<double>(time) - viewFrom_) / (static_cast<double>(viewTo_) - viewFrom_);
    return plot.left() + static_cast<int>(std::lround(share * (plot.width() - 1)));
}

std::int32_t COverviewStrip::TimeOfX(int x) const {
    const QRect plot = PlotRect();
    const double share = std::clamp((x - plot.left()) / static_cast<double>(std::max(1, plot.width() - 1)), 0.0, 1.0);
    return viewFrom_ + static_cast<std::int32_t>(std::lround(share * (static_cast<double>(viewTo_) - viewFrom_)));
}

int COverviewStrip::NearestSample(int x) const {
    int best = -1;
    int bestDistance = 0;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const std::int32_t t = samples_[i].time;
        if (t < viewFrom_ || t > viewTo_) continue;
        const int distance = std::abs(XOfTime(t) - x);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

QString COverviewStrip::HoverTextAt(int x) const {
    const int index = NearestSample(x);
    if (index < 0) return QString();
    const OverviewSample& sample = samples_[static_cast<std::size_t>(index)];
    if (!sample.hasPoint) return text::Tr(text::kOverviewHoverNoPoint).arg(TimeText(sample.time));
    return text::Tr(text::kOverviewHover)
        .arg(TimeText(sample.time))
        .arg(sample.point.valueB)
        .arg(sample.point.valueA);
}

QString COverviewStrip::StateText() const {
    if (scanning_) {
        const std::size_t total = job_ ? job_->total.load() : 0;
        const std::size_t done = job_ ? job_->done.load() : 0;
        const int percent = total == 0 ? 0 : static_cast<int>(done * 100 / total);
        return text::Tr(text::kOverviewReading).arg(percent);
    }
    return message_;
}

bool COverviewStrip::IsGap(std::size_t before) const {
    return samples_[before + 1].time - samples_[before].time > gapSeconds_;
}

void COverviewStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect plot = PlotRect();
    const QFontMetrics metrics(font());
    painter.setPen(palette().mid().color());
    painter.drawRect(plot.adjusted(0, 0, -1, -1));

    if (samples_.empty()) {
        painter.setPen(palette().text().color());
        if (scanning_ && job_ && job_->total > 0) {
            QRect bar = plot.adjusted(2, plot.height() - 5, -2, -2);
            painter.fillRect(QRect(bar.left(), bar.top(),
                                   static_cast<int>(bar.width() * job_->done.load() / job_->total.load()), bar.height()),
                             palette().highlight());
        }
        painter.drawText(plot, Qt::AlignCenter, StateText());
        return;
    }

    // Channel B (V) on the left axis, channel A (A) on the right.
    int largestA = 0;
    int largestB = 0;
    for (const OverviewSample& s : samples_) {
        if (!s.hasPoint) continue;
        largestA = std::max(largestA, s.point.valueA);
        largestB = std::max(largestB, s.point.valueB);
    }
    const int topA = AxisTop(largestA);
    const int topB = AxisTop(largestB);
    auto yOf = [&plot](int value, int top) {
        const double share = std::clamp(value / static_cast<double>(top), 0.0, 1.0);
        return plot.bottom() - 1 - static_cast<int>(std::lround(share * (plot.height() - 3)));
    };

    // Pauses: shaded, and the lines stop there.
    const QColor pauseColor = palette().window().color().darker(108);
    for (std::size_t i = 0; i + 1 < samples_.size(); ++i) {
        if (!IsGap(i)) continue;
        const int x0 = XOfTime(samples_[i].time);
        const int x1 = XOfTime(samples_[i + 1].time);
        if (x1 - x0 > 1) painter.fillRect(QRect(x0 + 1, plot.top() + 1, x1 - x0 - 1, plot.height() - 2), pauseColor);
    }

    PaintEventMarks(painter, plot, eventMarks_, viewFrom_, viewTo_, [this](std::int32_t t) { return XOfTime(t); });

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(plot);
    // Channel A first, lighter: its coarse integer steps would otherwise
    // cover channel B's line.
    for (int channel = 1; channel >= 0; --channel) {
        QPainterPath path;
        bool open = false;
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            if (i > 0 && IsGap(i - 1)) open = false;
            const OverviewSample& s = samples_[i];
            if (!s.hasPoint) continue;
            const QPointF p(XOfTime(s.time), channel == 0 ? yOf(s.point.valueB, topB) : yOf(s.point.valueA, topA));
            if (open) {
                path.lineTo(p);
            } else {
                path.moveTo(p);
                path.lineTo(p + QPointF(0.5, 0));  // a lone sample stays visible
                open = true;
            }
        }
        QColor color = channel == 0 ? kChannelBColor : kChannelAColor;
        if (channel == 1) color.setAlpha(110);
        painter.setPen(QPen(color, channel == 0 ? 1.5 : 1.0));
        painter.drawPath(path);
    }
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The record shown last.
    if (marker_ > 0 && marker_ >= viewFrom_ && marker_ <= viewTo_) {
        const int x = XOfTime(marker_);
        painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
        painter.drawLine(x, plot.top(), x, plot.bottom());
    }
    // A drag's range.
    if (pressX_ >= 0 && dragX_ >= 0) {
        QColor selection = palette().highlight().color();
        selection.setAlpha(60);
        painter.fillRect(QRect(QPoint(std::min(pressX_, dragX_), plot.top()),
                               QPoint(std::max(pressX_, dragX_), plot.bottom())),
                         selection);
    }

    // Axes: values and units, and the view's first and last time.
    const int textHeight = metrics.height();
    painter.setPen(kChannelBColor);
    painter.drawText(QRect(0, plot.top(), plot.left() - 3, textHeight), Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("%1 V").arg(topB));
    painter.drawText(QRect(0, plot.bottom() - textHeight, plot.left() - 3, textHeight), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("0 V"));
    painter.setPen(kChannelAColor);
    painter.drawText(QRect(plot.right() + 4, plot.top(), width() - plot.right() - 4, textHeight),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("%1 A").arg(topA));
    painter.drawText(QRect(plot.right() + 4, plot.bottom() - textHeight, width() - plot.right() - 4, textHeight),
                     Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("0 A"));
    painter.setPen(palette().text().color());
    const QRect timeRow(plot.left(), plot.bottom() + 2, plot.width(), textHeight);
    painter.drawText(timeRow, Qt::AlignLeft | Qt::AlignTop, TimeText(viewFrom_));
    painter.drawText(timeRow, Qt::AlignRight | Qt::AlignTop, TimeText(viewTo_));

    // Progress of a zoom's scan, a message, or the sample under the mouse.
    QString note = scanning_ || !message_.isEmpty() ? StateText() : QString();
    if (hoverX_ >= 0 && note.isEmpty()) note = HoverTextAt(hoverX_);
    if (!note.isEmpty()) {
        const QRect box(plot.left() + 4, plot.top() + 2, metrics.horizontalAdvance(note) + 8, textHeight + 2);
        QColor back = palette().toolTipBase().color();
        back.setAlpha(220);
        painter.fillRect(box, back);
        painter.setPen(palette().toolTipText().color());
        painter.drawText(box, Qt::AlignCenter, note);
    }
}

void COverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressX_ = event->position().toPoint().x();
    dragX_ = -1;
}

void COverviewStrip::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    hoverX_ = x;
    if (pressX_ >= 0 && (event->buttons() & Qt::LeftButton) && std::abs(x - pressX_) > kDragThreshold) {
        dragX_ = x;
    }
    update();
}

void COverviewStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressX_ < 0) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const int x = event->position().toPoint().x();
    const int from = pressX_;
    const bool dragged = dragX_ >= 0;
    pressX_ = -1;
    dragX_ = -1;
    if (dragged) {
        ZoomTo(TimeOfX(std::min(from, x)), TimeOfX(std::max(from, x)));
        return;
    }
    const int index = NearestSample(x);
    if (index >= 0) emit sampleChosen(samples_[static_cast<std::size_t>(index)].time);
}

void COverviewStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressX_ = -1;
        ShowWholeCard();
    }
}

void COverviewStrip::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || viewTo_ <= viewFrom_) return;
    const std::int32_t at = TimeOfX(event->position().toPoint().x());
    const double factor = std::pow(steps > 0 ? 0.5 : 2.0, std::abs(steps));
    const double from = at - (at - static_cast<double>(viewFrom_)) * factor;
    const double to = at + (static_cast<double>(viewTo_) - at) * factor;
    ZoomTo(static_cast<std::int32_t>(std::max<double>(from, cardOldest_)),
           static_cast<std::int32_t>(std::min<double>(to, cardNewest_)));
    event->accept();
}

void COverviewStrip::leaveEvent(QEvent* event) {
    hoverX_ = -1;
    update();
    QWidget::leaveEvent(event);
}

}  // namespace orvanta
