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

QString TimeText(std::int32_t time) { return QString::fromStdString(FormatLocalStandard(time)); }

QString NoteText(OverviewNote note) {
    switch (note) {
    case OverviewNote::kNoCard: return text::Tr(text::kOverviewNoCard);
    case OverviewNote::kNoDevice: return text::Tr(text::kOverviewNoDevice);
    case OverviewNote::kNoRecords: return text::Tr(text::kOverviewNoRecords);
    case OverviewNote::kEmptyRange: return text::Tr(text::kOverviewEmptyRange);
    case OverviewNote::kCancelled: return text::Tr(text::kOverviewCancelled);
    case OverviewNote::kCardGone: return text::Tr(text::kOverviewCardGone);
    case OverviewNote::kNone: break;
    }
    return QString();
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
    zoomTimer_->setInterval(kOverviewZoomDelayMs);
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
    view_.Clear();
    Scan(OverviewRequest());
}

void COverviewStrip::ShowNoCard() {
    if (job_) job_->cancel = true;
    WaitForWorker();
    overview_.reset();
    view_.Clear();
    scanning_ = false;
    message_ = NoteText(OverviewNote::kNoCard);
    update();
}

void COverviewStrip::ShowWholeCard() {
    if (!overview_) return;
    zoomTimer_->stop();
    view_.ShowWholeCard();
    Scan(OverviewRequest());
}

void COverviewStrip::ZoomTo(std::int32_t from, std::int32_t to) {
    if (!overview_) return;
    ApplyZoom(view_.ZoomTo(from, to));
}

void COverviewStrip::ApplyZoom(const OverviewView::Zoom& zoom) {
    if (zoom.kind == OverviewView::Zoom::kNone) return;
    if (zoom.kind == OverviewView::Zoom::kWholeCard) {
        ShowWholeCard();
        return;
    }
    pendingFrom_ = zoom.from;
    pendingTo_ = zoom.to;
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
    message_ = NoteText(view_.TakeScan(result));
    update();
    emit scanFinished();
}

void COverviewStrip::SetMarker(std::int32_t time) {
    marker_ = time;
    update();
}

QRect COverviewStrip::PlotRect() const {
    const QFontMetrics metrics(font());
    const int axis = metrics.horizontalAdvance(QStringLiteral("00000 V")) + 6;
    return QRect(axis, 2, std::max(1, width() - 2 * axis), std::max(1, height() - metrics.height() - 4));
}

OverviewPlot COverviewStrip::Columns() const {
    const QRect plot = PlotRect();
    return OverviewPlot{plot.left(), plot.width()};
}

int COverviewStrip::XOfTime(std::int32_t time) const {
    return OverviewXOfTime(Columns(), view_.From(), view_.To(), time);
}

std::int32_t COverviewStrip::TimeOfX(int x) const { return OverviewTimeOfX(Columns(), view_.From(), view_.To(), x); }

int COverviewStrip::NearestSample(int x) const { return view_.NearestSample(Columns(), x); }

QString COverviewStrip::HoverTextAt(int x) const {
    const int index = NearestSample(x);
    if (index < 0) return QString();
    const OverviewSample& sample = view_.Samples()[static_cast<std::size_t>(index)];
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

void COverviewStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect plot = PlotRect();
    const QFontMetrics metrics(font());
    painter.setPen(palette().mid().color());
    painter.drawRect(plot.adjusted(0, 0, -1, -1));

    const std::vector<OverviewSample>& samples = view_.Samples();
    if (samples.empty()) {
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
    view_.Largest(&largestA, &largestB);
    const int topA = OverviewAxisTop(largestA);
    const int topB = OverviewAxisTop(largestB);
    auto yOf = [&plot](int value, int top) {
        const double share = std::clamp(value / static_cast<double>(top), 0.0, 1.0);
        return plot.bottom() - 1 - static_cast<int>(std::lround(share * (plot.height() - 3)));
    };

    // Pauses: shaded, and the lines stop there.
    const QColor pauseColor = palette().window().color().darker(108);
    for (std::size_t i = 0; i + 1 < samples.size(); ++i) {
        if (!view_.IsPause(i)) continue;
        const int x0 = XOfTime(samples[i].time);
        const int x1 = XOfTime(samples[i + 1].time);
        if (x1 - x0 > 1) painter.fillRect(QRect(x0 + 1, plot.top() + 1, x1 - x0 - 1, plot.height() - 2), pauseColor);
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(plot);
    // Channel A first, lighter: its coarse integer steps would otherwise
    // cover channel B's line.
    for (int channel = 1; channel >= 0; --channel) {
        QPainterPath path;
        bool open = false;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (i > 0 && view_.IsPause(i - 1)) open = false;
            const OverviewSample& s = samples[i];
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
    if (marker_ > 0 && marker_ >= view_.From() && marker_ <= view_.To()) {
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
    painter.drawText(timeRow, Qt::AlignLeft | Qt::AlignTop, TimeText(view_.From()));
    painter.drawText(timeRow, Qt::AlignRight | Qt::AlignTop, TimeText(view_.To()));

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
    if (pressX_ >= 0 && (event->buttons() & Qt::LeftButton) && std::abs(x - pressX_) > kOverviewDragThreshold) {
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
    if (index >= 0) emit sampleChosen(view_.Samples()[static_cast<std::size_t>(index)].time);
}

void COverviewStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressX_ = -1;
        ShowWholeCard();
    }
}

void COverviewStrip::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (!overview_) return;
    ApplyZoom(view_.Wheel(Columns(), event->position().toPoint().x(), steps));
    event->accept();
}

void COverviewStrip::leaveEvent(QEvent* event) {
    hoverX_ = -1;
    update();
    QWidget::leaveEvent(event);
}

}  // namespace orvanta
