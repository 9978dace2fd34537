#include "ui/overview_strip.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QFontMetrics>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include "card/local_time.h"
#include "ui/events_strings.h"
#include "ui/overview_scan.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"

namespace orvanta {

namespace {


}  // namespace

COverviewStrip::COverviewStrip(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);

    scan_ = new COverviewScan(this);
    connect(scan_, &COverviewScan::progressed, this, qOverload<>(&QWidget::update));
    connect(scan_, &COverviewScan::finished, this, &COverviewStrip::OnScanFinished);
    zoomTimer_ = new QTimer(this);
    zoomTimer_->setSingleShot(true);
    zoomTimer_->setInterval(kOverviewZoomDelayMs);
    connect(zoomTimer_, &QTimer::timeout, this, [this] {
        OverviewRequest request;
        request.hasFrom = true;
        request.from = pendingFrom_;
        request.hasTo = true;
        request.to = pendingTo_;
        scan_->Scan(request);
        cancelAction_->setEnabled(true);
    });
    clickTimer_ = new QTimer(this);
    clickTimer_->setSingleShot(true);
    clickTimer_->setInterval(QApplication::doubleClickInterval());
    connect(clickTimer_, &QTimer::timeout, this, [this] {
        const int index = NearestSample(clickX_);
        if (index >= 0) emit sampleChosen(Samples()[static_cast<std::size_t>(index)].time);
    });

    rescanAction_ = new QAction(text::Tr(text::kOverviewRescan), this);
    rescanAction_->setObjectName(QStringLiteral("overviewRescanAction"));
    connect(rescanAction_, &QAction::triggered, this, &COverviewStrip::ShowWholeCard);
    wholeCardAction_ = new QAction(text::Tr(text::kOverviewWholeCard), this);
    wholeCardAction_->setShortcut(QKeySequence(Qt::Key_Home));
    wholeCardAction_->setShortcutContext(Qt::WidgetShortcut);
    connect(wholeCardAction_, &QAction::triggered, this, &COverviewStrip::ShowWholeCard);
    cancelAction_ = new QAction(text::Tr(text::kOverviewCancel), this);
    cancelAction_->setEnabled(false);
    connect(cancelAction_, &QAction::triggered, this, &COverviewStrip::CancelScan);
    clearMarksAction_ = new QAction(text::Tr(text::kClearEventMarks), this);
    clearMarksAction_->setObjectName(QStringLiteral("clearEventMarksAction"));
    clearMarksAction_->setEnabled(false);
    connect(clearMarksAction_, &QAction::triggered, this, &COverviewStrip::ClearEventMarks);
    addAction(rescanAction_);
    addAction(wholeCardAction_);
    addAction(cancelAction_);
    addAction(clearMarksAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

COverviewStrip::~COverviewStrip() = default;

bool COverviewStrip::IsScanning() const { return scan_->IsScanning(); }

const std::vector<OverviewSample>& COverviewStrip::Samples() const { return scan_->Samples(); }

QString COverviewStrip::StateText() const { return scan_->StateText(); }

OverviewGeometry COverviewStrip::Geometry() const { return OverviewGeometry(font(), size(), viewFrom_, viewTo_); }

void COverviewStrip::StartScan(const CCardReader& reader) {
    zoomTimer_->stop();
    zoomed_ = false;
    scan_->StartScan(reader);
    cancelAction_->setEnabled(true);
    update();
}

void COverviewStrip::ShowNoCard(const QString& cause) {
    zoomTimer_->stop();
    scan_->ShowNoCard(cause);
    cancelAction_->setEnabled(false);
    update();
}

void COverviewStrip::ShowWholeCard() {
    if (!scan_->HasCard()) return;
    zoomTimer_->stop();
    zoomed_ = false;
    scan_->Scan(OverviewRequest());
    cancelAction_->setEnabled(true);
    update();
}

void COverviewStrip::ZoomTo(std::int32_t from, std::int32_t to) {
    const std::int32_t oldest = scan_->CardOldest();
    const std::int32_t newest = scan_->CardNewest();
    if (!scan_->HasCard()) return;
    const OverviewZoom zoom = OverviewZoomRange(from, to, oldest, newest);
    if (zoom.kind == OverviewZoom::kNone) return;
    if (zoom.kind == OverviewZoom::kWholeCard) {
        ShowWholeCard();
        return;
    }
    viewFrom_ = pendingFrom_ = zoom.from;
    viewTo_ = pendingTo_ = zoom.to;
    zoomed_ = true;
    update();
    zoomTimer_->start();
}

void COverviewStrip::CancelScan() {
    scan_->Cancel();
}

void COverviewStrip::OnScanFinished(bool wholeCard) {
    cancelAction_->setEnabled(false);
    if (wholeCard && !zoomed_) {
        viewFrom_ = scan_->CardOldest();
        viewTo_ = scan_->CardNewest();
    }
    update();
    emit scanFinished();
}

void COverviewStrip::SetMarker(std::int32_t time) {
    marker_ = time;
    update();
}

void COverviewStrip::SetQuantity(OverviewQuantity quantity) {
    quantity_ = quantity;
    update();
}

void COverviewStrip::SetEventMarks(const std::vector<PowerEvent>& events) {
    eventMarks_ = events;
    clearMarksAction_->setEnabled(!eventMarks_.empty());
    update();
}

TimeAxisLayout COverviewStrip::TimeAxis() const { return TimeAxisLayoutOf(QFontMetrics(font()), Geometry()); }

int COverviewStrip::NearestSample(int x) const {
    return OverviewNearestSample(Samples(), Geometry().Columns(), viewFrom_, viewTo_, x);
}

QString COverviewStrip::HoverTextAt(int x) const {
    const int index = NearestSample(x);
    if (index < 0) return QString();
    const OverviewSample& sample = Samples()[static_cast<std::size_t>(index)];
    const QString time = QString::fromStdString(FormatLocalStandard(sample.time));
    if (quantity_ != OverviewQuantity::kVoltageRms) {
        const std::optional<double> value = QuantityValue(sample, quantity_);
        if (!value) return text::Tr(text::kOverviewHoverNoPoint).arg(time);
        const UiLanguage language = CurrentUiLanguage();
        return QStringLiteral("%1   %2: %3 %4")
            .arg(time, QString::fromStdString(QuantityCaption(language, quantity_)), QString::number(*value, 'f', 3),
                 QString::fromStdString(QuantityUnit(quantity_)))
            .trimmed();
    }
    if (!sample.hasRms) return text::Tr(text::kOverviewHoverNoPoint).arg(time);
    return QString::fromLatin1(text::kOverviewHover)
        .arg(time, QString::number(sample.rms.voltsB, 'f', 1), QString::number(sample.rms.amperesA, 'f', 3));
}

void COverviewStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    OverviewFrame frame;
    frame.samples = &Samples();
    std::vector<OverviewSample> curve;
    if (quantity_ != OverviewQuantity::kVoltageRms) {
        curve = QuantityCurve(Samples(), quantity_);
        frame.samples = &curve;
        frame.oneQuantity = true;
        frame.unit = QString::fromStdString(QuantityUnit(quantity_));
    }
    frame.gapSeconds = scan_->GapSeconds();
    frame.marker = marker_;
    frame.events = &eventMarks_;
    if (pressX_ >= 0 && dragX_ >= 0) {
        frame.dragFrom = pressX_;
        frame.dragTo = dragX_;
    }
    frame.scanning = scan_->IsScanning();
    frame.progress = scan_->Progress();
    frame.note = StateText();
    frame.hover = hover_;
    if (hover_.x() >= 0 && frame.note.isEmpty()) frame.hoverText = HoverTextAt(hover_.x());
    PaintOverview(painter, palette(), font(), rect(), Geometry(), frame);
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
    const QPoint at = event->position().toPoint();
    hover_ = at;
    if (pressX_ >= 0 && (event->buttons() & Qt::LeftButton) && std::abs(at.x() - pressX_) > kOverviewDragThreshold) {
        dragX_ = at.x();
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
        const OverviewGeometry geometry = Geometry();
        ZoomTo(geometry.TimeOfX(std::min(from, x)), geometry.TimeOfX(std::max(from, x)));
        return;
    }
    clickX_ = x;
    clickTimer_->start();
}

void COverviewStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        clickTimer_->stop();
        pressX_ = -1;
        ShowWholeCard();
    }
}

void COverviewStrip::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    const OverviewZoom zoom = OverviewWheelRange(Geometry().Columns(), viewFrom_, viewTo_,
                                                 event->position().toPoint().x(), steps, scan_->CardOldest(),
                                                 scan_->CardNewest());
    if (zoom.kind == OverviewZoom::kWholeCard) ShowWholeCard();
    if (zoom.kind == OverviewZoom::kRange) ZoomTo(zoom.from, zoom.to);
    event->accept();
}

void COverviewStrip::leaveEvent(QEvent* event) {
    hover_ = QPoint(-1, -1);
    update();
    QWidget::leaveEvent(event);
}

}  // namespace orvanta
