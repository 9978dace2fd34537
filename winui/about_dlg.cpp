#include "winui/about_dlg.h"

#include "winui/resource.h"
#include "winui/ui_texts.h"

namespace orvanta {
namespace {

INT_PTR CALLBACK AboutProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunAboutBox(HWND owner) {
    RunDialog(IDD_ABOUTBOX, owner, AboutProc, 0);
}

}  // namespace orvanta
