#include "winui/status_line.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace orvanta {

CStatusLine::~CStatusLine() {
    if (tip_ != nullptr && ::IsWindow(tip_)) ::DestroyWindow(tip_);
}

void CStatusLine::Attach(HWND control) {
    control_ = control;
    if (control_ == nullptr) return;
    const HWND dialog = ::GetParent(control_);
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    if (tip_ == nullptr) return;
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control_);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A width of its own makes the tooltip keep the line break.
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 1000);
}

void CStatusLine::SetText(const std::wstring& text) {
    if (control_ == nullptr) return;
    ::SetWindowTextW(control_, text.c_str());
    ::InvalidateRect(control_, nullptr, TRUE);
    if (tip_ == nullptr) return;
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = ::GetParent(control_);
    tool.uId = reinterpret_cast<UINT_PTR>(control_);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring CStatusLine::Text() const {
    if (control_ == nullptr) return std::wstring();
    std::vector<wchar_t> text(static_cast<std::size_t>(::GetWindowTextLengthW(control_)) + 1);
    ::GetWindowTextW(control_, text.data(), static_cast<int>(text.size()));
    return text.data();
}

bool CStatusLine::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.hwndItem != control_ || control_ == nullptr) return false;
    const HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(control_), WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    // Each line on its own, cut at the right with "…"; as many as fit.
    const std::wstring text = Text();
    RECT line = item.rcItem;
    std::size_t start = 0;
    while (start <= text.size() && line.top < item.rcItem.bottom) {
        std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        line.bottom = line.top + metrics.tmHeight;
        std::wstring part = text.substr(start, end - start);
        ::DrawTextW(dc, part.c_str(), static_cast<int>(part.size()), &line,
                    DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        line.top = line.bottom;
        start = end + 2;
    }
    if (oldFont != nullptr) ::SelectObject(dc, oldFont);
    return true;
}

}  // namespace orvanta
