// Resource and control ids of the Windows window; used by the resource
// script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDS_SOCKETS_FAILED 103
// The events list (查找事件…), a modeless dialog owned by the main window.
#define IDD_EVENTS 104
#define IDR_MAINFRAME 128
// The context menu of the main window and its strip.
#define IDR_CONTEXT_MENU 130

// Strings of the overview strip and the exports.
#define IDS_OVERVIEW_NO_CARD 200
#define IDS_OVERVIEW_NO_DEVICE 201
#define IDS_OVERVIEW_NO_RECORDS 202
#define IDS_OVERVIEW_EMPTY_RANGE 203
#define IDS_OVERVIEW_READING 204
#define IDS_OVERVIEW_CANCELLED 205
#define IDS_OVERVIEW_CARD_GONE 206
#define IDS_OVERVIEW_HOVER_NO_POINT 207
#define IDS_EXPORT_FAILED 208
#define IDS_NOTHING_TO_EXPORT 209
#define IDS_EXPORT_CSV 210
// The status line after a step that found no neighbouring record.
#define IDS_NO_LATER_RECORD 211
#define IDS_NO_EARLIER_RECORD 212
// The status line: the card's line, then the record's.
#define IDS_CARD_ON_DRIVE 213
#define IDS_CARD_NOT_RESPONDING 214
#define IDS_NO_CARD_AT_START 215
#define IDS_RECORD_TIME 216
// The events list: its range, columns, kinds, progress and end.
#define IDS_EVENTS_WHOLE_CARD 220
#define IDS_EVENTS_RANGE 221
#define IDS_EVENTS_KIND_COLUMN 222
#define IDS_EVENTS_START_COLUMN 223
#define IDS_EVENTS_DURATION_COLUMN 224
#define IDS_EVENTS_EXTREME_COLUMN 225
#define IDS_EVENT_DIP 226
#define IDS_EVENT_INTERRUPTION 227
#define IDS_EVENT_SWELL 228
#define IDS_EVENT_NOT_ENDED 229
#define IDS_EVENTS_SCANNING 230
#define IDS_EVENTS_FOUND 231
#define IDS_EVENTS_NONE 232
#define IDS_EVENTS_CANCELLED 233
#define IDS_EVENTS_CARD_GONE 234
#define IDS_EVENTS_NO_DEVICE 235
#define IDS_EVENTS_EXPORT 236
// The local analysis, the report and the strip's quantity.
#define IDS_OVERVIEW_QUANTITY 240
#define IDS_MAKING_REPORT 241
#define IDS_NO_RECORD_TO_ANALYSE 242
// Card images (open, save) and the COMTRADE export.
#define IDS_CARD_IMAGE_ON_DRIVE 250
#define IDS_SAVE_IMAGE 251
#define IDS_OPEN_IMAGE 252
#define IDS_EXPORT_COMTRADE 253
#define IDS_SAVING_IMAGE 254
#define IDS_IMAGE_SAVED 255
#define IDS_IMAGE_SAVE_CANCELLED 256
#define IDS_IMAGE_SAVE_FAILED 257
#define IDS_CARD_IMAGES 258
#define IDS_ALL_FILES 259
// An export's confirmation.
#define IDS_EXPORT_SAVED 260
// The strip's text while it marks the events list's events.
#define IDS_OVERVIEW_MARKS 261

// Commands of the context menu, also in the system menu (whose commands are
// multiples of 16 below 0xF000).
#define IDM_ABOUTBOX 0x0010
#define IDM_EXPORT_CSV 0x0020
#define IDM_PRINT 0x0030
#define IDM_RESCAN 0x0040
#define IDM_WHOLE_CARD 0x0050
#define IDM_CANCEL_SCAN 0x0060
#define IDM_FIND_EVENTS 0x0070
// 重新查找存储卡 (F5).
#define IDM_FIND_CARD 0x0080
// 本地分析 (F6) and 生成报告….
#define IDM_LOCAL_ANALYSIS 0x00C0
#define IDM_MAKE_REPORT 0x00D0
// 导出 COMTRADE… of the record shown; the card image's open, save and the
// save's cancel.
#define IDM_EXPORT_COMTRADE 0x00E0
#define IDM_CLEAR_MARKS 0x00F0
#define IDM_OPEN_IMAGE 0x0090
#define IDM_SAVE_IMAGE 0x00A0
#define IDM_CANCEL_SAVE 0x00B0

// Controls of the main window (IDOK, 1, is the refresh button).
#define IDC_BROWSER 1002
#define IDC_HOUR 1006
#define IDC_MINUTE 1007
#define IDC_SECOND 1008
#define IDC_DATE 1009
#define IDC_BACK 1013
#define IDC_FORWARD 1014
#define IDC_TIME_LABEL 1016
#define IDC_HOUR_LABEL 1017
#define IDC_MINUTE_LABEL 1018
#define IDC_SECOND_LABEL 1019
// The overview strip, window class "OrvantaOverview".
#define IDC_OVERVIEW 1021
// The status line beside ">".
#define IDC_STATUS 1020

// Controls of the events list (IDCANCEL, 2, is its close button); apart from
// the main window's ids (dialogcore/main_controls.h).
#define IDC_EVENTS_NOMINAL_LABEL 1101
#define IDC_EVENTS_NOMINAL 1102
#define IDC_EVENTS_NOMINAL_SPIN 1103
#define IDC_EVENTS_SCAN 1104
#define IDC_EVENTS_CANCEL 1105
#define IDC_EVENTS_RANGE 1106
#define IDC_EVENTS_PROGRESS 1107
#define IDC_EVENTS_LIST 1108
#define IDC_EVENTS_STATUS 1109
#define IDC_EVENTS_EXPORT 1110
