// Resource and control ids of the Windows window; used by the resource
// script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDS_SOCKETS_FAILED 103
#define IDR_MAINFRAME 128

// The about entry of the system menu.
#define IDM_ABOUTBOX 0x0010

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
