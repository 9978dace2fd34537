// The main window's controls as both windows build them: their ids (those of
// dialog template 102; the Win32 resource script names the same numbers) and
// the anchor table that moves them when the window is resized. A control a
// window does not have (the Win32 window has no 查找事件… button) is passed
// over by its resizable dialog.
#pragma once

#include <cstdint>

#include "dialogcore/anchor_table.h"

namespace orvanta {

enum MainControlId : std::int32_t {
    kIdRefresh = 1,
    kIdBrowser = 1002,
    kIdHourList = 1006,
    kIdMinuteList = 1007,
    kIdSecondList = 1008,
    kIdDatePicker = 1009,
    kIdBack = 1013,
    kIdForward = 1014,
    kIdTimeLabel = 1016,
    kIdHourLabel = 1017,
    kIdMinuteLabel = 1018,
    kIdSecondLabel = 1019,
    kIdStatusLine = 1020,
    kIdOverview = 1021,
    kIdFindEvents = 1022,
};

// The bottom row moves down with the window; the browser grows both ways; the
// overview strip between them moves down and widens, 查找事件… at its right
// end moves right and down; the status line beside ">" moves down and widens.
extern const AnchorEntry kMainAnchors[];
extern const std::int32_t kMainAnchorCount;

}  // namespace orvanta
