// The main window's keys wherever the focus is in it, the page included, as
// the Linux window has them: F1 about, F5 search the card again, F6 local
// analysis, Ctrl+F events, Ctrl+E CSV export, Ctrl+P print. The dialog's
// modal loop hands each message to a message filter first, which posts the
// key's menu command to the window. It also gives the events list, a
// modeless dialog inside the modal one, its keyboard (Tab, Enter, Escape)
// through IsDialogMessage.
#pragma once

#include <windows.h>

namespace orvanta {

// On the calling thread's dialog loop, for `window` and its children.
void InstallWindowKeys(HWND window);
void RemoveWindowKeys();
// The modeless dialog whose keys IsDialogMessage handles (null: none).
void SetKeyedDialog(HWND dialog);
// The menu command of a key pressed with the modifiers in `control`
// (Ctrl held), or 0.
int CommandOfKey(WPARAM key, bool control);

}  // namespace orvanta
