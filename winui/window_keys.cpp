#include "winui/window_keys.h"

#include "winui/resource.h"

namespace orvanta {
namespace {

struct KeyCommand {
    WPARAM key;
    bool control;
    int command;
};

// The keys the menus name after their entries.
constexpr KeyCommand kKeys[] = {
    {VK_F1, false, IDM_ABOUTBOX},    {VK_F5, false, IDM_FIND_CARD},  {VK_F6, false, IDM_LOCAL_ANALYSIS},
    {'F', true, IDM_FIND_EVENTS},    {'E', true, IDM_EXPORT_CSV},    {'P', true, IDM_PRINT},
};

HHOOK g_hook = nullptr;
HWND g_window = nullptr;
HWND g_dialog = nullptr;

bool Within(HWND window, HWND target) { return target == window || ::IsChild(window, target); }

LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX) {
        if (g_dialog != nullptr && ::IsWindowVisible(g_dialog) && Within(g_dialog, message->hwnd) &&
            ::IsDialogMessageW(g_dialog, message)) {
            return TRUE;
        }
        if (message->message == WM_KEYDOWN && Within(g_window, message->hwnd)) {
            const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
            if (const int command = CommandOfKey(message->wParam, control)) {
                ::PostMessageW(g_window, WM_COMMAND, static_cast<WPARAM>(command), 0);
                return TRUE;
            }
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

int CommandOfKey(WPARAM key, bool control) {
    for (const KeyCommand& entry : kKeys) {
        if (entry.key == key && entry.control == control) return entry.command;
    }
    return 0;
}

void InstallWindowKeys(HWND window) {
    g_window = window;
    g_hook = ::SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, ::GetCurrentThreadId());
}

void RemoveWindowKeys() {
    if (g_hook != nullptr) ::UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_window = nullptr;
    g_dialog = nullptr;
}

void SetKeyedDialog(HWND dialog) { g_dialog = dialog; }

}  // namespace orvanta
