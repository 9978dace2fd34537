// CWebBrowser2: the main window's way of driving its browser control, the
// system's WebBrowser control hosted in an "AtlAxWin" window. Navigate is
// the control's dispatch method 104; its DWebBrowserEvents2 reach a listener
// through an event sink.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "winui/browser_events.h"

namespace orvanta {

class CWebBrowser2 {
public:
    CWebBrowser2() = default;
    ~CWebBrowser2();
    CWebBrowser2(const CWebBrowser2&) = delete;
    CWebBrowser2& operator=(const CWebBrowser2&) = delete;

    // Takes the control of the hosting window and connects the event sink.
    // False when the window hosts no control or the control has no events.
    bool Attach(HWND host, CBrowserListener* listener);
    // Disconnects the sink and lets the control go.
    void Detach();

    // Navigate(URL, Flags, TargetFrameName, PostData, Headers) through
    // IDispatch::Invoke with dispatch id 104. The URL and the header block
    // are 8-bit text of the ANSI code page; the post data goes as a byte
    // array (VT_ARRAY | VT_UI1). Without post data and headers both are left
    // out, as Flags and TargetFrameName always are. Returns the call's result.
    HRESULT Navigate(const std::string& url, const std::vector<std::uint8_t>* postData, const std::string* headers);

    // Prints the page shown through the control's print command (the
    // system's print dialog; on Windows 10 and 11 also to PDF).
    HRESULT Print();

    // Whether the browser object of an event is the control itself (the
    // page), not one of its frames.
    bool IsTopLevel(IDispatch* frame) const;

private:
    IDispatch* browser_ = nullptr;
    IConnectionPoint* events_ = nullptr;
    DWORD cookie_ = 0;
    CBrowserEvents* sink_ = nullptr;
};

}  // namespace orvanta
