// CResizableDlg: a dialog whose child controls follow the window's size
// through an anchor table, with a size grip in the bottom-right corner and a
// minimum size equal to the size it had when it was initialised.
#pragma once

#include <cstdint>
#include <map>

#include <QDialog>
#include <QPointer>

#include "ui/anchor_table.h"

#include <QSizeGrip>

namespace orvanta {

class CResizableDlg : public QDialog {
    Q_OBJECT

public:
    enum class SizeType { Restored, Minimized, Maximized };

    explicit CResizableDlg(QWidget* parent = nullptr);
    ~CResizableDlg() override;

    // Installs an anchor table that the caller keeps alive for the dialog's
    // whole life (it is not copied). Returns 0 and keeps the previous table
    // when `table` is null or `count` is 0 or negative; otherwise 1.
    int SetAnchors(const AnchorEntry* table, std::int32_t count);

    // The size handler: moves every anchored control by its share of the
    // change since the last resize, then the grip. A minimise moves with zero
    // deltas and records nothing, so a restore finds the size from before.
    void OnSize(SizeType type, std::int32_t cx, std::int32_t cy);

    // The child control bound to `id`, or null.
    QWidget* Control(std::int32_t id) const;

    std::int32_t LastClientWidth() const { return lastClientWidth_; }
    std::int32_t LastClientHeight() const { return lastClientHeight_; }
    std::int32_t MinimumWidth() const { return minimumWidth_; }
    std::int32_t MinimumHeight() const { return minimumHeight_; }
    QSizeGrip* Grip() const { return grip_; }

protected:
    // Binds a child control to its id, for the anchor table.
    void BindControl(std::int32_t id, QWidget* control);

    // Records the client size as the last and the minimum size, creates the
    // grip and puts it in the bottom-right corner. A derived dialog calls it
    // once its controls are laid out, then installs its anchors.
    virtual bool OnInitDialog();

    void resizeEvent(QResizeEvent* event) override;

    bool showGrip_ = true;

private:
    void PlaceGrip(std::int32_t cx, std::int32_t cy);

    std::int32_t lastClientWidth_ = 0;
    std::int32_t lastClientHeight_ = 0;
    std::int32_t minimumWidth_ = 0;
    std::int32_t minimumHeight_ = 0;
    const AnchorEntry* anchors_ = nullptr;
    std::int32_t anchorCount_ = 0;
    QPointer<QSizeGrip> grip_;
    std::map<std::int32_t, QPointer<QWidget>> controls_;
};

}  // namespace orvanta
