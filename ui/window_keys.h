// CWindowKeys: keeps the window's shortcuts working while a text editor
// inside a control has the focus. A line editor claims some Ctrl keys for
// itself before shortcuts are looked at (Ctrl+E moves to the end of the
// line); for a key that one of the window's actions carries, the claim is
// refused so the action runs wherever the focus is. Escape in an open
// drop-down list is claimed for the list, so it closes the list only.
#pragma once

#include <QObject>

class QWidget;

namespace orvanta {

class CWindowKeys : public QObject {
    Q_OBJECT

public:
    // Watches `control` (its line editor and its drop-down's view, if it
    // has them) for the shortcuts of `window`'s actions.
    static void Install(QWidget* window, QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CWindowKeys(QWidget* window);

    QWidget* window_;
};

}  // namespace orvanta
