// CStatusLine: the main window's status line (control 1020, an owner-drawn
// static beside ">"): its lines, the card's over the record's, each drawn on
// a line of its own and cut with "…" at the right when it is too long, as the
// Linux window's; the whole text in a tooltip. The window text holds the
// lines joined by "\r\n" (screen readers and the tests read it).
#pragma once

#include <windows.h>

#include <string>

namespace orvanta {

class CStatusLine {
public:
    CStatusLine() = default;
    ~CStatusLine();
    CStatusLine(const CStatusLine&) = delete;
    CStatusLine& operator=(const CStatusLine&) = delete;

    // The static control of the dialog (style SS_OWNERDRAW | SS_NOTIFY).
    void Attach(HWND control);
    // Lines separated by "\r\n".
    void SetText(const std::wstring& text);
    std::wstring Text() const;
    // WM_DRAWITEM of the dialog: true when it was this control's.
    bool Draw(const DRAWITEMSTRUCT& item) const;

private:
    HWND control_ = nullptr;
    HWND tip_ = nullptr;
};

}  // namespace orvanta
