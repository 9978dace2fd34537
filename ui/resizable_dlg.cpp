#include "ui/resizable_dlg.h"

#include <QResizeEvent>
#include <QSizeGrip>

namespace orvanta {

CResizableDlg::CResizableDlg(QWidget* parent) : QDialog(parent) {
    // A sizing frame with minimise and maximise boxes, as a main window has.
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);  // the grip below is our own
}

CResizableDlg::~CResizableDlg() = default;

int CResizableDlg::SetAnchors(const AnchorEntry* table, std::int32_t count) {
    if (table == nullptr || count <= 0) {
        return 0;
    }
    anchors_ = table;
    anchorCount_ = count;
    return 1;
}

void CResizableDlg::BindControl(std::int32_t id, QWidget* control) {
    controls_[id] = control;
}

QWidget* CResizableDlg::Control(std::int32_t id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.data();
}

bool CResizableDlg::OnInitDialog() {
    // The minimum is the client size at initialisation. Qt limits a window
    // through its client area and the window manager adds the frame, so the
    // outer window cannot be dragged below its initial outer size either; the
    // outer size itself is not known before the window manager has framed the
    // window.
    const QSize client = size();
    minimumWidth_ = client.width();
    minimumHeight_ = client.height();
    setMinimumSize(client);
    lastClientWidth_ = client.width();
    lastClientHeight_ = client.height();

    if (grip_ == nullptr) {
        grip_ = new QSizeGrip(this);
        grip_->setObjectName(QStringLiteral("sizeGrip"));
        grip_->resize(grip_->sizeHint());
    }
    PlaceGrip(client.width(), client.height());
    grip_->setVisible(showGrip_);
    return true;
}

void CResizableDlg::PlaceGrip(std::int32_t cx, std::int32_t cy) {
    if (grip_ == nullptr) {
        return;
    }
    const QSize gripSize = grip_->size();
    grip_->setGeometry(cx - gripSize.width(), cy - gripSize.height(), gripSize.width(), gripSize.height());
    grip_->raise();
}

void CResizableDlg::OnSize(SizeType type, std::int32_t cx, std::int32_t cy) {
    std::int32_t dx = cx - lastClientWidth_;
    std::int32_t dy = cy - lastClientHeight_;
    if (type == SizeType::Minimized) {
        dx = 0;
        dy = 0;
    }
    for (std::int32_t i = 0; i < anchorCount_; ++i) {
        const AnchorEntry& entry = anchors_[i];
        if (!AnchorPercentInRange(entry.percent)) {
            continue;
        }
        QWidget* control = Control(entry.controlId);
        if (control == nullptr) {
            continue;
        }
        // Child geometry is already in the dialog's client coordinates.
        control->setGeometry(ApplyAnchor(entry, control->geometry(), dx, dy));
        control->update();
    }
    PlaceGrip(cx, cy);
    if (type != SizeType::Minimized) {
        lastClientWidth_ = cx;
        lastClientHeight_ = cy;
    }
}

void CResizableDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeType type = SizeType::Restored;
    if (isMinimized()) {
        type = SizeType::Minimized;
    } else if (isMaximized()) {
        type = SizeType::Maximized;
    }
    OnSize(type, event->size().width(), event->size().height());
}

}  // namespace orvanta
