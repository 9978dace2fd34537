// CResizableDlg: a modal dialog from a template that the user can resize. It
// adds a sizing frame, keeps the window from being made smaller than it was
// at initialisation, shows the system's size grip in the bottom-right corner
// (at the system's scroll-bar size, so at the DPI) and moves or stretches the
// controls of an anchor table on every resize, then repaints them with
// their frames.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dialogcore/anchor_table.h"

namespace orvanta {

class CResizableDlg {
public:
    explicit CResizableDlg(int templateId);
    virtual ~CResizableDlg();
    CResizableDlg(const CResizableDlg&) = delete;
    CResizableDlg& operator=(const CResizableDlg&) = delete;

    // Creates the dialog from its template in the window's language, runs it until it ends and
    // returns its end code (-1 when it could not be created).
    INT_PTR DoModal(HWND parent);

    // Installs the anchor table (not copied; it must outlive the dialog).
    // 0 for a null table or a count of 0 or less, the previous table staying.
    int SetAnchors(const AnchorEntry* table, std::int32_t count);

    HWND Handle() const { return hwnd_; }

protected:
    // The derived dialog's messages: true when handled, with the dialog
    // procedure's result in *result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    // Dialog initialisation; a derived dialog calls this first. Returns TRUE.
    virtual BOOL OnInitDialog();

    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    void OnSizing(RECT* rect) const;
    void PlaceGrip(int cx, int cy);

    int templateId_;
    std::int32_t lastWidth_ = 0;
    std::int32_t lastHeight_ = 0;
    std::int32_t minWidth_ = 0;
    std::int32_t minHeight_ = 0;
    const AnchorEntry* anchors_ = nullptr;
    std::int32_t anchorCount_ = 0;
    std::int32_t showGrip_ = 1;
    HWND grip_ = nullptr;
};

}  // namespace orvanta
