#include "ui/window_keys.h"

#include <QAction>
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
}

bool CWindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
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
