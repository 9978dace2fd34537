#include "ui/window_keys.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QWidget>

namespace orvanta {

CWindowKeys::CWindowKeys(QWidget* window) : QObject(window), window_(window) {}

void CWindowKeys::Install(QWidget* window, QWidget* control) {
    auto* keys = new CWindowKeys(window);
    control->installEventFilter(keys);
    for (QLineEdit* editor : control->findChildren<QLineEdit*>()) editor->installEventFilter(keys);
    // A list's drop-down gets its keys in its own view, which its container
    // watches too; this filter is installed later, so it sees them first.
    if (auto* list = qobject_cast<QComboBox*>(control)) list->view()->installEventFilter(keys);
}

bool CWindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Escape in an open drop-down: its container hides the drop-down
        // while the key is still offered to the shortcuts, and the window's
        // Escape would then close the window too. Claimed here, the key
        // closes the drop-down only.
        if (key->matches(QKeySequence::Cancel) && QApplication::activePopupWidget() != nullptr) {
            key->accept();
            return false;
        }
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* action : window_->actions()) {
            if (!action->isEnabled() || !action->shortcuts().contains(pressed)) continue;
            // Not accepted: the shortcut goes to the window's action.
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orvanta
