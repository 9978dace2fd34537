// Drives orvanta-client.exe from another process, as a user would, and
// checks what a user sees. Commands, run in order:
//   launch DIR [--lang L] [--image FILE]  starts DIR\orvanta-client.exe in DIR
//                   (with --lang L, with the card image FILE) and waits for its window
//   places          every control of template 102 at its place (MapDialogRect)
//   resize          the minimum size, and a resize per the anchor table
//   query DATE TIME sets the picker and the lists, clicks refresh
//   forward, back   clicks ">" or "<"
//   stay forward|back  clicks ">" or "<" at the newest or oldest record: no
//                   query, the same time, the status line says so
//   enter           presses Enter in the date picker: 刷新 queries
//   keyboard        Enter on 刷新 twice, Space on ">", the focus back after
//                   each load; Tab round the time row to the strip; Right
//                   and Enter on the strip query the next sample
//   keys            F1, Ctrl+E and Ctrl+F open the about box, the save dialog
//                   and the events list (Tab moves in it, Escape hides it)
//   card in|out f5|wait DIR  has the script link or unlink drive E: (files
//                   in DIR), then F5 shows it at once, or the window's
//                   two-second search within 3 s
//   about           system-menu command 16 opens the about box; Escape closes it
//   texts LANG      the window's and the about box's texts are those of LANG (zh, en)
//   start           the start page was written for the browser, in the window's language
//   strip           waits for the overview strip's scan, clicks the strip's middle
//   doubleclick     double-clicks the strip: it reads the whole card again, no query
//   overview        waits for the strip's scan, then Home reads the whole card again
//   csv FILE        exports the record through the context menu's command to FILE
//                   (the proposed name carries the record's time; a message confirms)
//   comtrade FILE   导出 COMTRADE… through the save dialog, whose proposed name
//                   holds the record's time, to FILE (.cfg, and .dat beside it)
//   saveimage FILE  保存存储卡映像… through the save dialog to FILE: the status
//                   line says it was saved, FILE.sha256 is beside it
//   open FILE       打开存储卡映像… through the open dialog: the window opens
//                   again on FILE; then the caption and the status line name it
//   title NAME      the caption names the card image NAME (launch --image)
//   analysis key|menu FILE  本地分析 by F6 or the context menu: the local
//                   analysis page of the record shown, copied to FILE
//   report FILE     生成报告… from the system menu: the report of the strip's
//                   range, copied to FILE once made
//   unreachable DATE TIME PORT FILE  queries DATE TIME with the INI naming
//                   PORT, where nothing answers: the window's page with the
//                   local analysis below it, copied to FILE; the INI is restored
//   quantity KEY    chooses the strip's quantity KEY (vRms, iRms, vThdF,
//                   iThdF, pf) in its context menu; the strip names it
//   showing KEY     the strip draws quantity KEY (kept from an earlier run)
//   events VOLTS    system-menu command 0x70 opens the events list (not over
//                   the time row; resizable); Enter in the voltage box scans
//                   again at VOLTS, prints each row ("event KIND,START,
//                   DURATION,EXTREME"), sorts by duration and by start through
//                   the headers (the arrow on the start's), then clicks the
//                   first row and presses Enter on the last: two queries
//   escape          presses Escape where the focus is (on the window's own
//                   controls): the window closes and the program ends
//   centred         the main window lies in the middle of the screen's work area
//   version VER FILE...  each FILE's VERSIONINFO (GetFileVersionInfo): file
//                   and product version VER, and its names in Chinese and English
// Each query prints "sent DATE TIME" (the time the controls showed when it
// started) and "shown DATE TIME" (what they show when the load has ended),
// after checking that the three buttons were disabled right after the click
// and are enabled again; a click on the strip prints both once the load has
// ended. Exit status 0 when every check passed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kRefresh = 1, kBrowser = 1002, kHour = 1006, kMinute = 1007, kSecond = 1008, kDate = 1009,
              kBack = 1013, kForward = 1014, kStrip = 1021, kTimeLabel = 1016, kStatus = 1020,
              kExportCsv = 0x20, kFindEvents = 0x70, kEventsNominal = 1102, kEventsScan = 1104,
              kEventsList = 1108, kLocalAnalysis = 0xC0, kMakeReport = 0xD0, kFirstQuantity = 0x500,
              kExportComtrade = 0xE0, kOpenImage = 0x90, kSaveImage = 0xA0, kClearMarks = 0xF0;

int failures = 0;

void Fail(const char* what, const std::string& detail = std::string()) {
    std::printf("FAIL: %s %s\n", what, detail.c_str());
    std::fflush(stdout);
    ++failures;
}

struct Session {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
    std::wstring exe;
};

HWND Item(const Session& s, int id) { return GetDlgItem(s.dialog, id); }

struct FindData {
    DWORD pid;
    HWND found;
    HWND owner;  // null: the main window; else a dialog owned by it
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM data) {
    auto* find = reinterpret_cast<FindData*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    const bool wanted = find->owner == nullptr ? GetDlgItem(hwnd, kDate) != nullptr
                                               : GetWindow(hwnd, GW_OWNER) == find->owner;
    if (pid == find->pid && IsWindowVisible(hwnd) && wcscmp(cls, L"#32770") == 0 && wanted) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool WaitFor(bool (*condition)(const Session&), const Session& s, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (condition(s)) return true;
        Sleep(10);
    }
    return condition(s);
}

// The process's main window, waited for up to 30 s.
HWND MainWindow(const Session& s) {
    FindData find = {s.process.dwProcessId, nullptr, nullptr};
    for (int i = 0; i < 600 && find.found == nullptr; ++i) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.found == nullptr) Sleep(50);
    }
    return find.found;
}

bool Launch(Session& s, const std::string& dir, const std::string& arguments) {
    wchar_t wdir[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, dir.c_str(), -1, wdir, MAX_PATH);
    s.exe = std::wstring(wdir) + L"\\orvanta-client.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + s.exe + L"\"";
    wchar_t wideArguments[2 * MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, arguments.c_str(), -1, wideArguments, 2 * MAX_PATH);
    command += wideArguments;
    if (!CreateProcessW(s.exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, wdir, &startup,
                        &s.process)) {
        Fail("launch", dir);
        return false;
    }
    s.dialog = MainWindow(s);
    if (s.dialog == nullptr) {
        Fail("the main window did not open");
        return false;
    }
    std::printf("window open\n");
    return true;
}

RECT ClientRectOf(const Session& s, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, s.dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Text(const RECT& r) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld,%ld %ldx%ld)", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return text;
}

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A hidden dialog from the header of the client's own template 102 (its
// font and size), without its controls: MapDialogRect works only on a
// dialog of one's own process.
HWND ProbeDialog(const Session& s) {
    const HMODULE module = LoadLibraryExW(s.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(102), reinterpret_cast<LPCWSTR>(RT_DIALOG))
                               : nullptr;
    if (found == nullptr) return nullptr;
    const DWORD size = SizeofResource(module, found);
    std::vector<unsigned char> bytes(size);
    std::memcpy(bytes.data(), LockResource(LoadResource(module, found)), size);
    FreeLibrary(module);
    // DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style (offset 12), cDlgItems (offset 16).
    DWORD style;
    std::memcpy(&style, &bytes[12], 4);
    style &= ~WS_VISIBLE;
    std::memcpy(&bytes[12], &style, 4);
    bytes[16] = bytes[17] = 0;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                      nullptr, Quiet, 0);
}

// Template 102's controls: id, x, y, width, height in dialog units (the
// lists' heights include the dropped-down list).
struct Place {
    int id;
    int x, y, width, height;
    bool list;
};
const Place kPlaces[] = {
    {kRefresh, 20, 227, 50, 14, false}, {1016, 9, 209, 39, 8, false},       {kBrowser, 9, 8, 391, 148, false},
    {kStrip, 9, 159, 391, 42, false},
    {kHour, 116, 206, 33, 76, true},    {kMinute, 165, 206, 33, 81, true},  {kSecond, 212, 206, 33, 83, true},
    {1017, 152, 209, 9, 8, false},      {1018, 200, 209, 9, 8, false},      {1019, 247, 209, 9, 8, false},
    {kDate, 51, 205, 57, 15, false},    {kBack, 275, 205, 13, 14, false},   {kForward, 292, 205, 13, 14, false},
    {kStatus, 309, 204, 91, 18, false},
};

void CheckPlaces(const Session& s) {
    const HWND probe = ProbeDialog(s);
    if (probe == nullptr) return Fail("no probe dialog from template 102");
    for (const Place& place : kPlaces) {
        // The dialog manager maps a control's place and its size each on
        // their own: map them so, as one rectangle of four values.
        RECT units = {place.x, place.y, place.width, place.height};
        MapDialogRect(probe, &units);
        const RECT expected = {units.left, units.top, units.left + units.right, units.top + units.bottom};
        const HWND control = Item(s, place.id);
        if (control == nullptr) {
            Fail("missing control", std::to_string(place.id));
            continue;
        }
        const RECT got = ClientRectOf(s, control);
        // A drop-down list's window is its closed part: same place and width.
        const bool same = got.left == expected.left && got.top == expected.top && got.right == expected.right &&
                          (place.list ? got.bottom <= expected.bottom : got.bottom == expected.bottom);
        if (!same) Fail("control place", std::to_string(place.id) + " " + Text(got) + " expected " + Text(expected));
    }
    RECT client;
    GetClientRect(s.dialog, &client);
    RECT size = {0, 0, 409, 251};
    MapDialogRect(probe, &size);
    if (client.right != size.right || client.bottom != size.bottom) Fail("client size", Text(client) + Text(size));
    DestroyWindow(probe);
    std::printf("places checked\n");
}

// The size grip: the system's (a size-grip scroll bar) of the system's
// scroll-bar size, in the client area's bottom-right corner, above every
// control there.
void CheckGrip(const Session& s) {
    HWND grip = nullptr;
    for (HWND child = GetWindow(s.dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"ScrollBar") == 0 && (GetWindowLongW(child, GWL_STYLE) & SBS_SIZEGRIP) != 0) grip = child;
    }
    if (grip == nullptr || !IsWindowVisible(grip)) return Fail("no visible size grip");
    RECT client;
    GetClientRect(s.dialog, &client);
    const RECT expected = {client.right - GetSystemMetrics(SM_CXVSCROLL),
                           client.bottom - GetSystemMetrics(SM_CYHSCROLL), client.right, client.bottom};
    const RECT got = ClientRectOf(s, grip);
    if (!EqualRect(&got, &expected)) Fail("size grip place", Text(got) + " expected " + Text(expected));
    const POINT corner = {client.right - 2, client.bottom - 2};
    if (ChildWindowFromPointEx(s.dialog, corner, CWP_SKIPINVISIBLE) != grip) Fail("the size grip is covered");
}

// The anchor table: the bottom row follows the height change, the browser
// grows by the whole change, the strip follows the height change and grows
// by the width change; the size grip stays in the corner.
void CheckResize(const Session& s) {
    RECT window;
    GetWindowRect(s.dialog, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(s.dialog, nullptr, 0, 0, width - 120, height - 90, SWP_NOMOVE | SWP_NOZORDER);
    RECT small;
    GetWindowRect(s.dialog, &small);
    if (small.right - small.left != width || small.bottom - small.top != height) {
        Fail("minimum size", Text(small) + " from " + Text(window));
    }
    std::vector<RECT> before;
    for (const Place& place : kPlaces) before.push_back(ClientRectOf(s, Item(s, place.id)));
    RECT clientBefore;
    GetClientRect(s.dialog, &clientBefore);
    const int dx = 160, dy = 120;
    SetWindowPos(s.dialog, nullptr, 0, 0, width + dx, height + dy, SWP_NOMOVE | SWP_NOZORDER);
    RECT clientAfter;
    GetClientRect(s.dialog, &clientAfter);
    if (clientAfter.right - clientBefore.right != dx || clientAfter.bottom - clientBefore.bottom != dy) {
        Fail("client change", Text(clientAfter));
    }
    CheckGrip(s);
    for (std::size_t i = 0; i < sizeof kPlaces / sizeof kPlaces[0]; ++i) {
        RECT expected = before[i];
        if (kPlaces[i].id == kBrowser) {
            expected.right += dx;
            expected.bottom += dy;
        } else if (kPlaces[i].id == kStrip || kPlaces[i].id == kStatus) {
            OffsetRect(&expected, 0, dy);
            expected.right += dx;
        } else {
            OffsetRect(&expected, 0, dy);
        }
        const RECT got = ClientRectOf(s, Item(s, kPlaces[i].id));
        if (!EqualRect(&got, &expected)) {
            Fail("anchored place", std::to_string(kPlaces[i].id) + " " + Text(got) + " expected " + Text(expected));
        }
    }
    SetWindowPos(s.dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    for (std::size_t i = 0; i < sizeof kPlaces / sizeof kPlaces[0]; ++i) {
        const RECT got = ClientRectOf(s, Item(s, kPlaces[i].id));
        if (!EqualRect(&got, &before[i])) Fail("place after restoring", std::to_string(kPlaces[i].id));
    }
    std::printf("resize checked\n");
}

// The picker's value, read through memory in the window's process.
SYSTEMTIME PickerTime(const Session& s, void* remote) {
    SYSTEMTIME time = {};
    SendMessageW(Item(s, kDate), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(s.process.hProcess, remote, &time, sizeof time, nullptr);
    return time;
}

std::string Shown(const Session& s, void* remote) {
    const SYSTEMTIME date = PickerTime(s, remote);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.wYear, date.wMonth, date.wDay,
                  static_cast<int>(SendMessageW(Item(s, kHour), CB_GETCURSEL, 0, 0)),
                  static_cast<int>(SendMessageW(Item(s, kMinute), CB_GETCURSEL, 0, 0)),
                  static_cast<int>(SendMessageW(Item(s, kSecond), CB_GETCURSEL, 0, 0)));
    return text;
}

// "YYYY-MM-DD HH:MM:SS" moved by `seconds` on the calendar.
std::string Moved(const std::string& text, int seconds) {
    SYSTEMTIME t = {};
    std::sscanf(text.c_str(), "%hu-%hu-%hu %hu:%hu:%hu", &t.wYear, &t.wMonth, &t.wDay, &t.wHour, &t.wMinute,
                &t.wSecond);
    FILETIME file;
    SystemTimeToFileTime(&t, &file);
    ULARGE_INTEGER ticks = {{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += static_cast<long long>(seconds) * 10000000LL;
    file = {ticks.LowPart, ticks.HighPart};
    FileTimeToSystemTime(&file, &t);
    char out[40];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return out;
}

bool ButtonsEnabled(const Session& s) {
    return IsWindowEnabled(Item(s, kRefresh)) && IsWindowEnabled(Item(s, kForward)) &&
           IsWindowEnabled(Item(s, kBack));
}

bool ButtonsDisabled(const Session& s) {
    return !IsWindowEnabled(Item(s, kRefresh)) && !IsWindowEnabled(Item(s, kForward)) &&
           !IsWindowEnabled(Item(s, kBack));
}

bool g_english = false;
// The card image's file name the window names (empty: a drive).
std::wstring g_image;

// The status line's two lines, split at its line break.
std::pair<std::wstring, std::wstring> StatusLines(const Session& s) {
    wchar_t text[256] = {};
    GetWindowTextW(Item(s, kStatus), text, 256);
    const std::wstring all = text;
    const std::size_t end = all.find(L"\r\n");
    if (end == std::wstring::npos) return {all, std::wstring()};
    return {all.substr(0, end), all.substr(end + 2)};
}

std::string Utf8(const std::wstring& text) {
    char utf8[800] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

void CheckStatusFits(const Session& s, const std::wstring& text);
void PressKey(const Session& s, HWND target, UINT key, bool control = false);
void FocusControl(const Session& s, HWND dialog, HWND control);

// "YYYY-MM-DD HH:MM:SS" -> "HH:MM:SS".
std::wstring TimeOfDay(const std::string& stamp) {
    const std::string time = stamp.substr(stamp.find(' ') + 1);
    return std::wstring(time.begin(), time.end());
}

// The record line when the second sent holds no record and the nearest one
// is shown (times of day when both lie on one date).
std::wstring NearestLine(const std::string& sent, const std::string& shown) {
    const bool sameDate = sent.substr(0, 10) == shown.substr(0, 10);
    const std::wstring asked = sameDate ? TimeOfDay(sent) : std::wstring(sent.begin(), sent.end());
    const std::wstring found = sameDate ? TimeOfDay(shown) : std::wstring(shown.begin(), shown.end());
    return g_english ? L"No record at " + asked + L"; showing the nearest, " + found
                     : L"\u6240\u9009\u65f6\u95f4 " + asked +
                           L" \u65e0\u8bb0\u5f55\uff0c\u663e\u793a\u6700\u8fd1\u7684\u8bb0\u5f55 " + found;
}

// The record line of a query that gave no record: no card, an unreadable
// card, or none near the second sent (any second when it is not known).
bool IsNoRecordLine(const std::wstring& line, const std::string& sent) {
    const std::wstring asked = std::wstring(sent.begin(), sent.end());
    const std::wstring lines[] = {
        g_english ? L"No card found: no record to show"
                  : L"\u672a\u627e\u5230\u5b58\u50a8\u5361\uff0c\u6ca1\u6709\u53ef\u663e\u793a\u7684\u8bb0\u5f55",
        g_english ? L"The card cannot be read: no record to show"
                  : L"\u5b58\u50a8\u5361\u65e0\u6cd5\u8bfb\u53d6\uff0c\u6ca1\u6709\u53ef\u663e\u793a\u7684\u8bb0\u5f55",
    };
    for (const std::wstring& text : lines) {
        if (line == text) return true;
    }
    const std::wstring before = g_english ? L"No record near the selected time " : L"\u6240\u9009\u65f6\u95f4 ";
    const std::wstring after = g_english ? L"" : L" \u9644\u8fd1\u6ca1\u6709\u8bb0\u5f55";
    if (line.compare(0, before.size(), before) != 0 || line.size() < before.size() + after.size()) return false;
    if (line.compare(line.size() - after.size(), after.size(), after) != 0) return false;
    return sent.empty() || line == before + asked + after;
}

// After a query: the card's line (its drive E:, or none found at start) and
// the record's: the time the controls show when it is the second sent, the
// nearest record's text when it is another, or why there is none. Prints
// "status card|nocard record|norecord" for the script to hold against the
// row. Without `sent` any second is taken as the one sent.
void CheckStatus(const Session& s, void* remote, const std::string& sent = std::string()) {
    const auto lines = StatusLines(s);
    const std::wstring card = (g_english ? L"Card E:" : L"\u5b58\u50a8\u5361 E:") +
                              (g_image.empty() ? std::wstring() : L" " + g_image);
    const std::wstring noCard =
        g_english ? L"No card found at start-up" : L"\u542f\u52a8\u65f6\u672a\u627e\u5230\u5b58\u50a8\u5361";
    const std::string shown = Shown(s, remote);
    const std::wstring record = (g_english ? L"Record: " : L"\u8bb0\u5f55\u65f6\u95f4: ") +
                                std::wstring(shown.begin(), shown.end());
    const std::wstring nearest = sent.empty() || sent == shown ? std::wstring() : NearestLine(sent, shown);
    const bool recordShown = lines.second == record || (!nearest.empty() && lines.second == nearest);
    if (lines.first != card && lines.first != noCard) Fail("the status line's card line", Utf8(lines.first));
    if (!recordShown && !IsNoRecordLine(lines.second, sent)) Fail("the status line's record line", Utf8(lines.second));
    CheckStatusFits(s, lines.first + (lines.second.empty() ? L"" : L"\r\n" + lines.second));
    std::printf("status %s %s\n", lines.first == card ? "card" : "nocard", recordShown ? "record" : "norecord");
}

// One query started by a click (synchronous: the handler has run when the
// click returns) or by a key (posted).
void Query(const Session& s, void* remote, const std::string& sent, int button, UINT key) {
    std::printf("sent %s\n", sent.c_str());
    if (button != 0) {
        SendMessageW(Item(s, button), BM_CLICK, 0, 0);
        // The window's thread goes on pumping once the click has returned, and
        // under Wine the navigation can end before this process reads the
        // buttons: each click says what it saw, and the check fails when no
        // click of the whole run saw them disabled.
        std::printf("click %s\n", ButtonsDisabled(s) ? "disabled" : "raced");
    } else {
        PostMessageW(s.dialog, WM_KEYDOWN, key, 0);
        WaitFor(ButtonsDisabled, s, 3000);
    }
    if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after the navigation");
    std::printf("shown %s\n", Shown(s, remote).c_str());
    CheckStatus(s, remote, sent);
    std::fflush(stdout);
}

// Texts of one language, by control id (0: the window's caption).
struct Texts {
    int id;
    const wchar_t* chinese;
    const wchar_t* english;
};

// A step at the end of the card: the window queries nothing, the controls
// keep the record shown and the status line says why.
void StepAtEnd(const Session& s, void* remote, int step) {
    const std::string before = Shown(s, remote);
    SendMessageW(Item(s, step > 0 ? kForward : kBack), BM_CLICK, 0, 0);
    if (!ButtonsEnabled(s)) Fail("a step at the end of the card started a query");
    if (Shown(s, remote) != before) Fail("a step at the end of the card moved to", Shown(s, remote));
    const wchar_t* said = step > 0 ? (g_english ? L"Newest record: " : L"\u5df2\u662f\u6700\u65b0\u8bb0\u5f55: ")
                                   : (g_english ? L"Oldest record: " : L"\u5df2\u662f\u6700\u65e9\u8bb0\u5f55: ");
    const std::wstring expected = said + std::wstring(before.begin(), before.end());
    const std::wstring status = StatusLines(s).second;
    if (expected != status) Fail("the status line after a step at the end shows", Utf8(status));
    std::printf("stayed %s\n", before.c_str());
}

void CheckTexts(HWND window, std::initializer_list<Texts> texts, const char* where) {
    for (const Texts& text : texts) {
        wchar_t got[128] = {};
        GetWindowTextW(text.id == 0 ? window : GetDlgItem(window, text.id), got, 128);
        if (wcscmp(got, g_english ? text.english : text.chinese) != 0) {
            char utf8[400] = {};
            WideCharToMultiByte(CP_UTF8, 0, got, -1, utf8, sizeof utf8, nullptr, nullptr);
            Fail(where, std::to_string(text.id) + " shows '" + utf8 + "'");
        }
    }
}

// The main window's captions in the language asked for.
void CheckWindowTexts(const Session& s) {
    CheckTexts(s.dialog,
               {{0, L"Orvanta\u8c10\u6ce2\u5206\u6790", L"Orvanta Harmonic Analysis"},  // Orvanta谐波分析
                {kRefresh, L"\u5237\u65b0", L"Refresh"},                                  // 刷新
                {kTimeLabel, L"\u9009\u62e9\u65f6\u95f4:", L"Time:"},                   // 选择时间:
                {1017, L"\u65f6", L"h"}},                                                  // 时
               "main window");
    std::printf("texts checked\n");
}

// The page shown before the first query: the file the browser was sent to,
// with the card's facts and the ratios in use in the window's language.
std::wstring PageFile(const Session& s, const wchar_t* stem) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + stem + L"-" + std::to_wstring(s.process.dwProcessId) + L".html";
}

std::string FileText(const std::wstring& path) {
    std::string text;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
        std::fclose(file);
    }
    return text;
}

void CheckStartPage(const Session& s) {
    const std::string page = FileText(PageFile(s, L"orvanta-page"));
    const char* records = g_english ? "Records" : "\xe8\xae\xb0\xe5\xbd\x95\xe6\x95\xb0";  // 记录数
    if (page.find(records) == std::string::npos) Fail("no start page with the card's record count");
    // The ratios in use, from the ratio.txt of the window's folder (1.02 0.98).
    if (page.find(">1.02<") == std::string::npos || page.find(">0.98<") == std::string::npos) {
        Fail("the start page does not show the ratios in use");
    }
    std::printf("start page checked\n");
}

// The strip's text is the view's time range once its scan is done.
bool StripReady(const Session& s) {
    wchar_t text[128] = {};
    GetWindowTextW(Item(s, kStrip), text, 128);
    return wcsstr(text, L" \u2013 ") != nullptr;
}

void ClickStrip(const Session& s, bool twice) {
    if (!WaitFor(StripReady, s, 30000)) return Fail("the strip's scan did not end");
    RECT strip;
    GetClientRect(Item(s, kStrip), &strip);
    const LPARAM middle = MAKELPARAM(strip.right / 2, strip.bottom / 2);
    PostMessageW(Item(s, kStrip), WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(Item(s, kStrip), WM_LBUTTONUP, 0, middle);
    if (twice) {
        PostMessageW(Item(s, kStrip), WM_LBUTTONDBLCLK, MK_LBUTTON, middle);
        PostMessageW(Item(s, kStrip), WM_LBUTTONUP, 0, middle);
    }
}

// A click on the strip: the chosen second is queried once the double-click
// time has passed.
void StripQuery(const Session& s, void* remote) {
    const std::string before = Shown(s, remote);
    ClickStrip(s, false);
    const DWORD start = GetTickCount();
    while (Shown(s, remote) == before && GetTickCount() - start < 5000) Sleep(20);
    if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after the strip's query");
    const std::string sent = Shown(s, remote);
    if (sent == before) Fail("a click on the strip chose no record");
    std::printf("sent %s\nshown %s\n", sent.c_str(), sent.c_str());
}

// A double click goes back to the whole card (a new scan) and queries nothing.
void StripDoubleClick(const Session& s, void* remote) {
    const std::string before = Shown(s, remote);
    ClickStrip(s, true);
    Sleep(GetDoubleClickTime() + 700);
    if (Shown(s, remote) != before) Fail("a double click on the strip chose a record");
    if (!WaitFor(StripReady, s, 30000)) Fail("the strip's scan after the double click did not end");
    std::printf("double click checked\n");
}

// The strip's two scans of the whole card: at start and after Home. No
// memory of the window's process is touched, so the run can be traced.
void Overview(const Session& s) {
    if (!WaitFor(StripReady, s, 30000)) return Fail("the strip's scan did not end");
    SendMessageW(Item(s, kStrip), WM_KEYDOWN, VK_HOME, 0);
    if (StripReady(s)) Fail("Home did not read the card again");
    if (!WaitFor(StripReady, s, 30000)) Fail("the strip's scan after Home did not end");
    std::printf("overview read twice\n");
}

// An owned dialog of the window (a save dialog, a message box), waited for.
HWND OwnedDialog(const Session& s) {
    FindData find = {s.process.dwProcessId, nullptr, s.dialog};
    for (int i = 0; i < 400 && find.found == nullptr; ++i) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.found == nullptr) Sleep(25);
    }
    return find.found;
}

// A control's text, asked of the control (GetWindowText of another
// process's window reads only the caption the system keeps).
std::wstring WindowText(HWND window) {
    wchar_t text[MAX_PATH + 64] = {};
    SendMessageW(window, WM_GETTEXT, MAX_PATH + 64, reinterpret_cast<LPARAM>(text));
    return text;
}

// A command of the menus that asks for a file: its dialog (save or open)
// gets `path` in its file name box and OK. Returns the name it proposed
// (waited for when it `proposes` one).
std::wstring ThroughFileDialog(const Session& s, int command, const std::string& path, bool proposes = false) {
    PostMessageW(s.dialog, WM_COMMAND, command, 0);
    const HWND dialog = OwnedDialog(s);
    if (dialog == nullptr) return Fail("no file dialog for command", std::to_string(command)), L"";
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, MAX_PATH);
    // The file name box: a combo box (cmb13) or an edit control (edt1).
    HWND name = GetDlgItem(dialog, 0x47c);
    if (name == nullptr) name = GetDlgItem(dialog, 0x480);
    if (name == nullptr) return Fail("the file dialog has no file name box"), L"";
    // The name the window proposed, once the dialog has put it in the box
    // (in either of the two boxes).
    wchar_t proposed[MAX_PATH] = {};
    for (int i = 0; i < (proposes ? 10 : 1) && proposed[0] == 0; ++i) {
        if (i > 0) Sleep(20);
        for (const int box : {0x47c, 0x480}) {
            if (proposed[0] == 0 && GetDlgItem(dialog, box) != nullptr) {
                SendMessageW(GetDlgItem(dialog, box), WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(proposed));
            }
        }
    }
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 400 && IsWindow(dialog); ++i) Sleep(25);
    if (IsWindow(dialog)) Fail("the file dialog did not close");
    // The window acts after its dialog has gone: a message it answers after
    // that (unless it has ended, as after an image opened).
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(s.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    return proposed;
}

bool Exists(const std::string& path) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, MAX_PATH);
    return GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

// The name proposed for the record shown: "orvanta-YYYY-MM-DD_HHMMSS.EXT".
std::string ProposedName(const Session& s, void* remote, const char* extension) {
    std::string proposed = "orvanta-" + Shown(s, remote) + "." + extension;
    proposed[18] = '_';
    proposed.erase(proposed.begin() + 21);
    proposed.erase(proposed.begin() + 23);
    return proposed;
}

// The context menu's CSV export into `path` (ending in ".csv"), through the
// save dialog: it proposes the record's time as the name, and a message box
// confirms the files written ("X.csv" names the record's three files:
// X-waveform.csv first).
void ExportCsv(const Session& s, void* remote, const std::string& path) {
    const std::string expected = ProposedName(s, remote, "csv");
    const std::string proposed = Utf8(ThroughFileDialog(s, kExportCsv, path, true));
    const std::string waveform = path.substr(0, path.size() - 4) + "-waveform.csv";
    if (proposed != expected) Fail("proposed name", proposed + ", expected " + expected);
    // The window writes the file after its dialog has gone, then says so.
    const HWND box = OwnedDialog(s);
    if (box == nullptr) return Fail("no message after the export");
    const std::wstring said = WindowText(GetDlgItem(box, 0xFFFF));
    if (Utf8(said).find(waveform) == std::string::npos) Fail("the export's message", Utf8(said));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 400 && IsWindow(box); ++i) Sleep(25);
    if (!Exists(waveform)) Fail("the export wrote no file", waveform);
    std::printf("exported %s\n", path.c_str());
}

// 导出 COMTRADE… of the record shown: the proposed name holds its time.
void ExportComtrade(const Session& s, void* remote, const std::string& path) {
    const std::string expected = ProposedName(s, remote, "cfg");
    const std::string proposed = Utf8(ThroughFileDialog(s, kExportComtrade, path, true));
    if (proposed != expected) Fail("the COMTRADE export proposed", proposed + ", expected " + expected);
    if (!Exists(path)) Fail("the COMTRADE export wrote no file", path);
    std::printf("proposed %s\ncomtrade %s\n", proposed.c_str(), path.c_str());
}

std::wstring FileNameOf(const std::string& path) {
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    return std::wstring(name.begin(), name.end());
}

// 保存存储卡映像… into `path`: the copy runs on the window's worker, the status
// line says when it is saved.
void SaveImage(const Session& s, const std::string& path) {
    // Not while the strip reads the card: one reader opens it at a time.
    if (!WaitFor(StripReady, s, 30000)) Fail("the strip's scan did not end");
    ThroughFileDialog(s, kSaveImage, path);
    const std::wstring saved = (g_english ? L"Card image saved: " : L"\u5b58\u50a8\u5361\u6620\u50cf\u5df2\u4fdd\u5b58: ") +
                               FileNameOf(path);
    const DWORD start = GetTickCount();
    while (StatusLines(s).second != saved && GetTickCount() - start < 60000) Sleep(50);
    if (StatusLines(s).second != saved) return Fail("the status line after the save shows", Utf8(StatusLines(s).second));
    if (!Exists(path) || !Exists(path + ".sha256")) Fail("no image with its digest", path);
    std::printf("savedimage %s\n", path.c_str());
}

// The caption names the card image: "CAPTION - NAME".
void CheckTitle(const Session& s, const std::string& name) {
    g_image = FileNameOf(name);
    wchar_t caption[256] = {};
    GetWindowTextW(s.dialog, caption, 256);
    const std::wstring expected =
        std::wstring(g_english ? L"Orvanta Harmonic Analysis" : L"Orvanta\u8c10\u6ce2\u5206\u6790") + L" - " + g_image;
    if (caption != expected) Fail("the caption shows", Utf8(caption));
    std::printf("title %s\n", name.c_str());
}

// 打开存储卡映像… of `path`: the window ends and a new one opens on the image.
void OpenImage(Session& s, const std::string& path) {
    const HWND before = s.dialog;
    ThroughFileDialog(s, kOpenImage, path);
    for (int i = 0; i < 400 && IsWindow(before); ++i) Sleep(25);
    if (IsWindow(before)) return Fail("the window did not end for the image");
    s.dialog = MainWindow(s);
    if (s.dialog == nullptr) return Fail("no window opened on the image");
    CheckTitle(s, path);
    std::printf("opened %s\n", path.c_str());
}

// A window in the middle of the work area of the screen (one pixel of
// rounding either way).
void CheckCentred(HWND window, const char* what) {
    RECT area, rect;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(window, &rect);
    const long dx = (rect.left - area.left) - (area.right - rect.right);
    const long dy = (rect.top - area.top) - (area.bottom - rect.bottom);
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1) {
        Fail("not centred", std::string(what) + " " + Text(rect) + " in " + Text(area));
    }
}

// The VERSIONINFO of `file`: the fixed part and both string tables name
// `version`, the translation table lists Chinese (PRC) and English (US),
// and each table has its product name and a description.
void CheckVersion(const std::string& version, const std::string& file) {
    wchar_t path[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, file.c_str(), -1, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<unsigned char> data(GetFileVersionInfoSizeW(path, &ignored));
    if (data.empty() || !GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data())) {
        return Fail("no VERSIONINFO", file);
    }
    void* value = nullptr;
    UINT length = 0;
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch);
    if (!VerQueryValueW(data.data(), L"\\", &value, &length) ||
        static_cast<VS_FIXEDFILEINFO*>(value)->dwFileVersionMS != (major << 16 | minor) ||
        static_cast<VS_FIXEDFILEINFO*>(value)->dwProductVersionLS != patch << 16) {
        Fail("fixed version", file);
    }
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) || length != 8 ||
        std::memcmp(value, "\x04\x08\xb0\x04\x09\x04\xb0\x04", 8) != 0) {
        Fail("translations", file);
    }
    const std::wstring wideVersion(version.begin(), version.end());
    const struct {
        const wchar_t* block;
        const wchar_t* product;
    } tables[] = {{L"080404b0", L"Orvanta\u8c10\u6ce2\u5206\u6790"}, {L"040904b0", L"Orvanta Harmonic Analysis"}};
    for (const auto& table : tables) {
        auto text = [&](const wchar_t* name) {
            const std::wstring key = std::wstring(L"\\StringFileInfo\\") + table.block + L"\\" + name;
            return VerQueryValueW(data.data(), key.c_str(), &value, &length) && length > 0
                       ? std::wstring(static_cast<const wchar_t*>(value))
                       : std::wstring();
        };
        if (text(L"FileVersion") != wideVersion || text(L"ProductVersion") != wideVersion ||
            text(L"ProductName") != table.product || text(L"FileDescription").empty() ||
            text(L"CompanyName").empty()) {
            Fail("version strings", file + " " + Utf8(table.block));
        }
    }
    std::printf("version %s checked\n", file.c_str());
}

// The about box: opened by the system menu's command 16, template 100 with
// its OK button, closed by Escape.
void CheckAbout(const Session& s) {
    PostMessageW(s.dialog, WM_SYSCOMMAND, 0x10, 0);
    FindData find = {s.process.dwProcessId, nullptr, s.dialog};
    for (int i = 0; i < 200 && find.found == nullptr; ++i) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.found == nullptr) Sleep(25);
    }
    if (find.found == nullptr) return Fail("command 16 opened no about box");
    CheckCentred(find.found, "about box");
    CheckTexts(find.found, {{IDOK, L"\u786e\u5b9a", L"OK"}}, "about box");  // 确定
    PostMessageW(find.found, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 200 && IsWindow(find.found); ++i) Sleep(25);
    if (IsWindow(find.found)) Fail("Escape did not close the about box");
    std::printf("about box checked\n");
}

// The owned dialog holding the events list.
HWND EventsDialog(const Session& s) {
    FindData find = {s.process.dwProcessId, nullptr, s.dialog};
    for (int i = 0; i < 400 && (find.found == nullptr || GetDlgItem(find.found, kEventsList) == nullptr); ++i) {
        find.found = nullptr;
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.found == nullptr) Sleep(25);
    }
    return find.found;
}

bool WaitScanEnabled(HWND button, bool enabled) {
    for (int i = 0; i < 3000 && (IsWindowEnabled(button) != FALSE) != enabled; ++i) Sleep(10);
    return (IsWindowEnabled(button) != FALSE) == enabled;
}

// A list view's cells, read through an LVITEMW and a buffer in the window's process.
std::vector<std::vector<std::string>> ListRows(const Session& s, HWND list, char* remote) {
    std::vector<std::vector<std::string>> rows(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < 4; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<wchar_t*>(remote + 256);
            item.cchTextMax = 200;
            WriteProcessMemory(s.process.hProcess, remote, &item, sizeof item, nullptr);
            SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
            wchar_t text[200] = {};
            ReadProcessMemory(s.process.hProcess, remote + 256, text, sizeof text - sizeof(wchar_t), nullptr);
            rows[row].push_back(Utf8(text));
        }
    }
    return rows;
}

// A click at the middle of a rectangle that a message writes into the window's memory.
void ClickAt(const Session& s, HWND control, UINT rectMessage, WPARAM index, LONG left, char* remote) {
    RECT rect = {left, 0, 0, 0};
    WriteProcessMemory(s.process.hProcess, remote, &rect, sizeof rect, nullptr);
    SendMessageW(control, rectMessage, index, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(s.process.hProcess, remote, &rect, sizeof rect, nullptr);
    const LPARAM middle = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(control, WM_LBUTTONUP, 0, middle);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(control, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

bool SortedBy(const std::vector<std::vector<std::string>>& rows, int column, bool numbers) {
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const bool less = numbers ? std::stol(rows[i][column]) < std::stol(rows[i - 1][column])
                                  : rows[i][column] < rows[i - 1][column];
        if (less) return false;
    }
    return true;
}

// Whether the strip's text says it marks `count` events (none: says nothing of marks).
bool StripMarks(const Session& s, std::size_t count) {
    wchar_t text[256] = {};
    GetWindowTextW(Item(s, kStrip), text, 256);
    const std::wstring n = std::to_wstring(count);
    const std::wstring note = g_english ? L", " + n + L" events marked"
                                        : L"\uff0c\u6807\u8bb0\u4e86 " + n + L" \u4e2a\u4e8b\u4ef6";
    const wchar_t* any = g_english ? L"events marked" : L"\u6807\u8bb0\u4e86";
    return count == 0 ? wcsstr(text, any) == nullptr : wcsstr(text, note.c_str()) != nullptr;
}

// The events list: a scan at `volts`, its rows, two sorts, a click on the
// first row; the strip's marks, 清除事件标记, and closing the list.
void Events(const Session& s, void* remote, const std::string& volts) {
    char* block = static_cast<char*>(
        VirtualAllocEx(s.process.hProcess, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    // Sent, not posted: the list's scan has started when it returns, and
    // the wait below is for its end.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(s.dialog, WM_SYSCOMMAND, kFindEvents, 0, SMTO_NORMAL, 10000, &ignored);
    const HWND events = EventsDialog(s);
    if (events == nullptr || block == nullptr) return Fail("command 0x70 opened no events list");
    const HWND scan = GetDlgItem(events, kEventsScan);
    if (!WaitScanEnabled(scan, true)) return Fail("the events scan at the configured voltage did not end");
    // Not over the main window's time row; resizable, the list taking the change.
    RECT own, timeRow, bigger;
    GetWindowRect(events, &own);
    GetWindowRect(Item(s, kDate), &timeRow);
    RECT right;
    GetWindowRect(Item(s, kStatus), &right);
    timeRow.right = right.right;
    if (IntersectRect(&bigger, &own, &timeRow)) Fail("the events list lies over the time row", Text(own));
    const HWND list = GetDlgItem(events, kEventsList);
    RECT listBefore, listAfter;
    GetWindowRect(list, &listBefore);
    SetWindowPos(events, nullptr, 0, 0, own.right - own.left + 100, own.bottom - own.top + 80, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(list, &listAfter);
    if (listAfter.right - listAfter.left != listBefore.right - listBefore.left + 100 ||
        listAfter.bottom - listAfter.top != listBefore.bottom - listBefore.top + 80) {
        Fail("the events list does not grow with its dialog", Text(listAfter));
    }
    // Enter in the voltage box scans at the voltage typed.
    const std::wstring wide(volts.begin(), volts.end());
    const HWND nominal = GetDlgItem(events, kEventsNominal);
    SendMessageW(nominal, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(GetDlgItem(events, 1109), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    FocusControl(s, events, nominal);
    PressKey(s, nominal, VK_RETURN);
    for (int i = 0; i < 500 && GetWindowTextLengthW(GetDlgItem(events, 1109)) == 0; ++i) Sleep(10);
    if (GetWindowTextLengthW(GetDlgItem(events, 1109)) == 0) return Fail("Enter in the voltage box did not scan");
    if (!WaitScanEnabled(scan, true)) return Fail("the events scan did not end");
    const auto rows = ListRows(s, list, block);
    for (const auto& row : rows) {
        std::printf("event %s,%s,%s,%s\n", row[0].c_str(), row[1].c_str(), row[2].c_str(), row[3].c_str());
    }
    if (rows.empty()) return Fail("the events list is empty");
    if (!StripMarks(s, rows.size())) Fail("the strip does not say it marks the list's events");
    SendMessageW(s.dialog, WM_COMMAND, kClearMarks, 0);
    if (!StripMarks(s, 0)) Fail("the strip still marks events after 清除事件标记");
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ClickAt(s, header, HDM_GETITEMRECT, 2, 0, block);
    if (!SortedBy(ListRows(s, list, block), 2, true)) Fail("a click on the duration header did not sort by it");
    ClickAt(s, header, HDM_GETITEMRECT, 1, 0, block);
    const auto byStart = ListRows(s, list, block);
    if (!SortedBy(byStart, 1, false) || byStart != rows) Fail("a click on the start header did not sort by it");
    for (int column = 1; column <= 2; ++column) {
        // The arrow on the start column's header, upwards; none on the duration's.
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        WriteProcessMemory(s.process.hProcess, block, &item, sizeof item, nullptr);
        SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(block));
        ReadProcessMemory(s.process.hProcess, block, &item, sizeof item, nullptr);
        const int arrow = item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
        if (arrow != (column == 1 ? HDF_SORTUP : 0)) Fail("the sort arrow of column", std::to_string(column));
    }
    std::printf("events sorted\n");
    // A click on the first event queries its start, as a click on the strip.
    const std::string start = byStart[0][1];
    ClickAt(s, list, LVM_GETITEMRECT, 0, LVIR_LABEL, block);
    std::printf("sent %s\n", start.c_str());
    const DWORD begun = GetTickCount();
    while (Shown(s, remote) != start && GetTickCount() - begun < 5000) Sleep(20);
    if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after the event's query");
    std::printf("shown %s\n", Shown(s, remote).c_str());
    CheckStatus(s, remote);
    if (byStart.size() > 1) {
        // Enter on the last row queries its event's start.
        const std::string last = byStart.back()[1];
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        WriteProcessMemory(s.process.hProcess, block, &item, sizeof item, nullptr);
        SendMessageW(list, LVM_SETITEMSTATE, byStart.size() - 1, reinterpret_cast<LPARAM>(block));
        FocusControl(s, events, list);
        std::printf("sent %s\n", last.c_str());
        PressKey(s, list, VK_RETURN);
        const DWORD pressed = GetTickCount();
        while (Shown(s, remote) != last && GetTickCount() - pressed < 5000) Sleep(20);
        if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after Enter on an event");
        std::printf("shown %s\n", Shown(s, remote).c_str());
        CheckStatus(s, remote);
    }
    // Scanned again, the events are marked again; closing the list clears them.
    FocusControl(s, events, nominal);
    PressKey(s, nominal, VK_RETURN);
    for (int i = 0; i < 500 && !StripMarks(s, rows.size()); ++i) Sleep(10);
    if (!StripMarks(s, rows.size())) Fail("a second scan did not mark the events again");
    SendMessageW(events, WM_COMMAND, IDCANCEL, 0);
    if (!StripMarks(s, 0)) Fail("the strip still marks events after the list was closed");
    std::printf("marks checked\n");
}

void SetTime(const Session& s, void* remote, const std::string& text) {
    SYSTEMTIME t = {};
    std::sscanf(text.c_str(), "%hu-%hu-%hu %hu:%hu:%hu", &t.wYear, &t.wMonth, &t.wDay, &t.wHour, &t.wMinute,
                &t.wSecond);
    WriteProcessMemory(s.process.hProcess, remote, &t, sizeof t, nullptr);
    SendMessageW(Item(s, kDate), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote));
    SendMessageW(Item(s, kHour), CB_SETCURSEL, t.wHour, 0);
    SendMessageW(Item(s, kMinute), CB_SETCURSEL, t.wMinute, 0);
    SendMessageW(Item(s, kSecond), CB_SETCURSEL, t.wSecond, 0);
    // What a user's choice in a list tells the window (these messages do not
    // notify by themselves): the selected time becomes what the controls
    // show, the picker's date included. A picker's change notification
    // cannot be sent from another process.
    SendMessageW(s.dialog, WM_COMMAND, MAKEWPARAM(kSecond, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(s, kSecond)));
    if (Shown(s, remote) != text) Fail("controls do not show the time set", Shown(s, remote));
}

// The window's page file `stem` once it holds `what` and the buttons are
// enabled again, copied to `path` for the script.
bool CopyPageWhen(const Session& s, const wchar_t* stem, const char* what, const std::string& path) {
    const std::wstring page = PageFile(s, stem);
    const DWORD start = GetTickCount();
    while ((FileText(page).find(what) == std::string::npos || !ButtonsEnabled(s)) && GetTickCount() - start < 60000) {
        Sleep(50);
    }
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, MAX_PATH);
    return FileText(page).find(what) != std::string::npos && CopyFileW(page.c_str(), wide, FALSE);
}

// 本地分析 by F6 ("key") or the context menu's command ("menu"): the page
// file becomes the local analysis of the record shown.
void LocalAnalysis(const Session& s, const std::string& how, const std::string& path) {
    DeleteFileW(PageFile(s, L"orvanta-page").c_str());
    if (how == "key") {
        PostMessageW(s.dialog, WM_KEYDOWN, VK_F6, 0);
    } else {
        PostMessageW(s.dialog, WM_COMMAND, kLocalAnalysis, 0);
    }
    if (!CopyPageWhen(s, L"orvanta-page", "id=\"local-analysis\"", path)) return Fail("no local analysis page", how);
    std::printf("analysis %s\n", path.c_str());
}

// 生成报告… from the system menu: the report of the strip's range, made off
// the window's thread, written to its own file.
void Report(const Session& s, const std::string& path) {
    PostMessageW(s.dialog, WM_SYSCOMMAND, kMakeReport, 0);
    if (!CopyPageWhen(s, L"orvanta-report", "</html>", path)) return Fail("the report wrote no page");
    std::printf("report %s\n", path.c_str());
}

// A query of `time` while the INI names a port where nothing answers: the
// window's own page says so, with the record's local analysis below it.
void Unreachable(const Session& s, void* remote, const std::string& time, const std::string& port,
                 const std::string& path) {
    const std::wstring ini = s.exe.substr(0, s.exe.rfind(L'\\')) + L"\\orvanta-vemlar.ini";
    const std::string kept = FileText(ini);
    const std::string dead = "[Common]\r\nserverBaseUrl=http://127.0.0.1:" + port + "/analysis\r\nuserID=4711\r\n";
    auto write = [&ini](const std::string& text) {
        if (FILE* file = _wfopen(ini.c_str(), L"wb")) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    };
    write(dead);
    DeleteFileW(PageFile(s, L"orvanta-page").c_str());
    SetTime(s, remote, time);
    SendMessageW(Item(s, kRefresh), BM_CLICK, 0, 0);
    const bool shown = CopyPageWhen(s, L"orvanta-page", "id=\"local-analysis\"", path);
    write(kept);
    if (!shown) return Fail("no page with the local analysis for an unreachable server");
    std::printf("unreachable %s\n", time.c_str());
}

// The strip's quantities by the name the window keeps them under, in the
// context menu's order, with their captions.
struct Quantity {
    const char* key;
    const wchar_t* chinese;
    const wchar_t* english;
};
const Quantity kQuantities[] = {
    {"vRms", L"\u7535\u538b\u6709\u6548\u503c", L"RMS Voltage"},
    {"iRms", L"\u7535\u6d41\u6709\u6548\u503c", L"RMS Current"},
    {"vThdF", L"\u7535\u538b\u603b\u8c10\u6ce2\u7578\u53d8\u7387\uff08THD-F\uff09", L"THD-F of the Voltage"},
    {"iThdF", L"\u7535\u6d41\u603b\u8c10\u6ce2\u7578\u53d8\u7387\uff08THD-F\uff09", L"THD-F of the Current"},
    {"pf", L"\u529f\u7387\u56e0\u6570", L"Power Factor"},
};

// The strip names the quantity it draws after its range (none for the RMS
// voltage, its first).
bool StripShows(const Session& s, int index) {
    wchar_t text[256] = {};
    GetWindowTextW(Item(s, kStrip), text, 256);
    if (index == 0) return wcschr(text, L'(') == nullptr;
    const std::wstring caption = L"(" + std::wstring(g_english ? kQuantities[index].english : kQuantities[index].chinese) + L")";
    return wcsstr(text, caption.c_str()) != nullptr;
}

int QuantityIndex(const std::string& key) {
    for (std::size_t i = 0; i < sizeof kQuantities / sizeof kQuantities[0]; ++i) {
        if (key == kQuantities[i].key) return static_cast<int>(i);
    }
    Fail("unknown quantity", key);
    return 0;
}

// "quantity KEY" chooses it in the strip's context menu; "showing KEY"
// checks what the strip draws (after a restart: what the window kept).
void StripQuantity(const Session& s, const std::string& command, const std::string& key) {
    const int index = QuantityIndex(key);
    if (!WaitFor(StripReady, s, 30000)) return Fail("the strip's scan did not end");
    if (command == "quantity") PostMessageW(s.dialog, WM_COMMAND, kFirstQuantity + index, 0);
    const DWORD start = GetTickCount();
    while (!StripShows(s, index) && GetTickCount() - start < 5000) Sleep(20);
    if (!StripShows(s, index)) return Fail("the strip does not draw", key);
    std::printf("%s %s\n", command.c_str(), key.c_str());
}

// The window's keyboard focus (another process's: through its thread).
HWND FocusOf(const Session& s) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(s.dialog, nullptr), &info);
    return info.hwndFocus;
}

bool WaitFocus(const Session& s, HWND wanted) {
    for (int i = 0; i < 300 && FocusOf(s) != wanted; ++i) Sleep(10);
    return FocusOf(s) == wanted;
}

// A key pressed where the focus is (as the keyboard sends it: to the focus,
// through the dialog's loop); with Ctrl held in the window's input state.
void PressKey(const Session& s, HWND target, UINT key, bool control) {
    const DWORD thread = GetWindowThreadProcessId(s.dialog, nullptr);
    BYTE state[256] = {};
    if (control) {
        AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
    }
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    if (control) {
        // The key state is read when the window takes the key.
        DWORD_PTR ignored = 0;
        for (int i = 0; i < 20; ++i) SendMessageTimeoutW(s.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored), Sleep(10);
        state[VK_CONTROL] = 0;
        SetKeyboardState(state);
        AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    }
}

void FocusControl(const Session& s, HWND dialog, HWND control) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (!WaitFocus(s, control)) Fail("the focus cannot be put on", std::to_string(GetDlgCtrlID(control)));
}

// The keyboard across queries: Enter on 刷新 queries and the focus comes
// back to it, so Enter queries again; Space on ">" steps and the focus
// stays there; Tab goes round the time row in the screen's order to 刷新,
// then the strip (which the arrow keys and Enter use to query the next
// sample).
void Keyboard(const Session& s, void* remote) {
    FocusControl(s, s.dialog, Item(s, kRefresh));
    for (int round = 0; round < 2; ++round) {
        std::printf("sent %s\n", Shown(s, remote).c_str());
        PressKey(s, FocusOf(s), VK_RETURN);
        WaitFor(ButtonsDisabled, s, 3000);
        if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after Enter");
        if (!WaitFocus(s, Item(s, kRefresh))) Fail("the focus did not come back to refresh after Enter");
        std::printf("shown %s\n", Shown(s, remote).c_str());
        CheckStatus(s, remote);
    }
    FocusControl(s, s.dialog, Item(s, kForward));
    std::printf("sent %s\n", Moved(Shown(s, remote), 1).c_str());
    PressKey(s, Item(s, kForward), VK_SPACE);
    WaitFor(ButtonsDisabled, s, 3000);
    if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after Space on >");
    if (!WaitFocus(s, Item(s, kForward))) Fail("the focus did not come back to > after Space");
    std::printf("shown %s\n", Shown(s, remote).c_str());
    CheckStatus(s, remote);
    const int order[] = {kDate, kHour, kMinute, kSecond, kBack, kForward, kRefresh, kStrip};
    FocusControl(s, s.dialog, Item(s, order[0]));
    for (std::size_t i = 1; i < sizeof order / sizeof order[0]; ++i) {
        PressKey(s, FocusOf(s), VK_TAB);
        if (!WaitFocus(s, Item(s, order[i]))) {
            Fail("Tab did not go on to", std::to_string(order[i]) + " from " + std::to_string(order[i - 1]));
            return;
        }
    }
    // The strip: the arrow moves to the sample after the record shown, Enter queries it.
    if (!WaitFor(StripReady, s, 30000)) return Fail("the strip's scan did not end");
    const std::string before = Shown(s, remote);
    PressKey(s, Item(s, kStrip), VK_RIGHT);
    PressKey(s, Item(s, kStrip), VK_RETURN);
    const DWORD start = GetTickCount();
    while (Shown(s, remote) == before && GetTickCount() - start < 5000) Sleep(20);
    if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after the strip's Enter");
    if (Shown(s, remote) <= before) Fail("Right and Enter on the strip did not query a later sample", Shown(s, remote));
    std::printf("sent %s\nshown %s\n", Shown(s, remote).c_str(), Shown(s, remote).c_str());
    std::printf("keyboard checked\n");
}

// The status line's two lines fit its height at the dialog's font, and its
// tooltip holds the whole text.
void CheckStatusFits(const Session& s, const std::wstring& text) {
    const HWND probe = ProbeDialog(s);
    if (probe == nullptr) return Fail("no probe dialog from template 102");
    const HDC dc = GetDC(probe);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(probe, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(probe, dc);
    DestroyWindow(probe);
    RECT status;
    GetClientRect(Item(s, kStatus), &status);
    if (status.bottom < 2 * metrics.tmHeight) Fail("the status line has no room for two lines", Text(status));
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) != nullptr) {
        if (GetWindow(tip, GW_OWNER) == s.dialog) break;
    }
    if (tip == nullptr) return Fail("the status line has no tooltip");
    char* block = static_cast<char*>(
        VirtualAllocEx(s.process.hProcess, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = s.dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(s, kStatus));
    tool.lpszText = reinterpret_cast<wchar_t*>(block + 512);
    WriteProcessMemory(s.process.hProcess, block, &tool, sizeof tool, nullptr);
    SendMessageW(tip, TTM_GETTEXTW, 1000, reinterpret_cast<LPARAM>(block));
    wchar_t said[1000] = {};
    ReadProcessMemory(s.process.hProcess, block + 512, said, sizeof said - sizeof(wchar_t), nullptr);
    VirtualFreeEx(s.process.hProcess, block, 0, MEM_RELEASE);
    if (text != said) Fail("the status line's tooltip says", Utf8(said));
}

// A card put in or taken out while the window runs: the script links or
// unlinks drive E: when DIR\want-in or DIR\want-out appears and writes
// DIR\done. "f5" presses F5 and the window must show it at once; "wait"
// leaves it to the window's two-second search (within 3 s).
void SwitchCard(const Session& s, const std::string& how, const std::string& way, const std::string& dir) {
    const std::wstring folder(dir.begin(), dir.end());
    const std::wstring done = folder + L"\\done";
    DeleteFileW(done.c_str());
    if (FILE* want = _wfopen((folder + (how == "in" ? L"\\want-in" : L"\\want-out")).c_str(), L"wb")) std::fclose(want);
    for (int i = 0; i < 500 && GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
    if (GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES) return Fail("the script did not switch the card");
    const DWORD start = GetTickCount();
    if (way == "f5") PressKey(s, s.dialog, VK_F5);
    const std::wstring card = g_english ? L"Card E:" : L"\u5b58\u50a8\u5361 E:";
    const bool wanted = how == "in";
    const DWORD limit = way == "f5" ? 600 : 3000;
    while ((StatusLines(s).first == card) != wanted && GetTickCount() - start < limit) Sleep(20);
    if ((StatusLines(s).first == card) != wanted) {
        return Fail("the card was not seen", how + " " + way + ": " + Utf8(StatusLines(s).first));
    }
    // The strip reads the card found, or says there is none.
    if (wanted && !WaitFor(StripReady, s, 30000)) Fail("the strip did not read the card found");
    std::printf("card %s by %s after %lu ms\n", how.c_str(), way.c_str(), GetTickCount() - start);
}

// The Linux keys: F1 the about box, Ctrl+E the export's save dialog, Ctrl+F
// the events list (each closed again by Escape).
void CheckKeys(const Session& s) {
    struct {
        UINT key;
        bool control;
        const char* what;
        int child;  // a control the owned dialog has
    } keys[] = {{VK_F1, false, "about box", IDOK}, {'E', true, "save dialog", 0x47c}, {'F', true, "events list", kEventsList}};
    for (const auto& key : keys) {
        PressKey(s, FocusOf(s) != nullptr ? FocusOf(s) : s.dialog, key.key, key.control);
        FindData find = {s.process.dwProcessId, nullptr, s.dialog};
        for (int i = 0; i < 400 && find.found == nullptr; ++i) {
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
            if (find.found == nullptr) Sleep(25);
        }
        if (find.found == nullptr) {
            Fail("no window for the key of the", key.what);
            continue;
        }
        if (key.child == kEventsList) {
            // Tab moves in the list's dialog; Escape hides it.
            const HWND events = find.found;
            const HWND nominal = GetDlgItem(events, kEventsNominal);
            FocusControl(s, events, nominal);
            PressKey(s, nominal, VK_TAB);
            for (int i = 0; i < 300 && FocusOf(s) == nominal; ++i) Sleep(10);
            if (FocusOf(s) == nominal || !IsChild(events, FocusOf(s))) Fail("Tab did not move in the events list");
            PressKey(s, FocusOf(s), VK_ESCAPE);
            for (int i = 0; i < 200 && IsWindowVisible(events); ++i) Sleep(25);
            if (IsWindowVisible(events)) Fail("Escape did not close the events list");
            continue;
        }
        PostMessageW(find.found, WM_COMMAND, IDCANCEL, 0);
        for (int i = 0; i < 200 && IsWindow(find.found); ++i) Sleep(25);
        if (IsWindow(find.found)) Fail("the window of the key did not close", key.what);
    }
    std::printf("keys checked\n");
}

}  // namespace

int main(int argc, char** argv) {
    Session s;
    void* remote = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string command = argv[i];
        if (command == "launch" && i + 1 < argc) {
            const std::string dir = argv[++i];
            std::string arguments;
            while (i + 2 < argc && (std::string(argv[i + 1]) == "--lang" || std::string(argv[i + 1]) == "--image")) {
                arguments += std::string(" ") + argv[i + 1] + " \"" + argv[i + 2] + "\"";
                if (std::string(argv[i + 1]) == "--image") g_image = FileNameOf(argv[i + 2]);
                i += 2;
            }
            // The pointer in the screen's corner, away from the centred
            // windows: where it lies, the system sends the controls its
            // moves, which would come between the posted clicks.
            SetCursorPos(0, 0);
            if (!Launch(s, dir, arguments)) return 1;
            remote = VirtualAllocEx(s.process.hProcess, nullptr, sizeof(SYSTEMTIME), MEM_COMMIT | MEM_RESERVE,
                                    PAGE_READWRITE);
            if (remote == nullptr) return Fail("VirtualAllocEx"), 1;
        } else if (command == "places") {
            CheckPlaces(s);
        } else if (command == "resize") {
            CheckResize(s);
        } else if (command == "query" && i + 2 < argc) {
            const std::string time = std::string(argv[i + 1]) + " " + argv[i + 2];
            i += 2;
            SetTime(s, remote, time);
            Query(s, remote, time, kRefresh, 0);
        } else if (command == "forward" || command == "back") {
            const int step = command == "forward" ? 1 : -1;
            Query(s, remote, Moved(Shown(s, remote), step), step > 0 ? kForward : kBack, 0);
        } else if ((command == "stay") && i + 1 < argc) {
            StepAtEnd(s, remote, std::string(argv[++i]) == "forward" ? 1 : -1);
        } else if (command == "enter") {
            // From the date picker Enter is the default button, 刷新 (on a
            // focused "<" or ">" it would press that one).
            FocusControl(s, s.dialog, Item(s, kDate));
            Query(s, remote, Shown(s, remote), 0, VK_RETURN);
        } else if (command == "about") {
            CheckAbout(s);
        } else if (command == "texts" && i + 1 < argc) {
            g_english = std::string(argv[++i]) == "en";
            CheckWindowTexts(s);
        } else if (command == "start") {
            CheckStartPage(s);
        } else if (command == "strip") {
            StripQuery(s, remote);
        } else if (command == "overview") {
            Overview(s);
        } else if (command == "doubleclick") {
            StripDoubleClick(s, remote);
        } else if (command == "events" && i + 1 < argc) {
            Events(s, remote, argv[++i]);
        } else if (command == "analysis" && i + 2 < argc) {
            LocalAnalysis(s, argv[i + 1], argv[i + 2]);
            i += 2;
        } else if (command == "report" && i + 1 < argc) {
            Report(s, argv[++i]);
        } else if (command == "unreachable" && i + 4 < argc) {
            Unreachable(s, remote, std::string(argv[i + 1]) + " " + argv[i + 2], argv[i + 3], argv[i + 4]);
            i += 4;
        } else if ((command == "quantity" || command == "showing") && i + 1 < argc) {
            StripQuantity(s, command, argv[++i]);
        } else if (command == "csv" && i + 1 < argc) {
            ExportCsv(s, remote, argv[++i]);
        } else if (command == "keyboard") {
            Keyboard(s, remote);
        } else if (command == "keys") {
            CheckKeys(s);
        } else if (command == "card" && i + 3 < argc) {
            SwitchCard(s, argv[i + 1], argv[i + 2], argv[i + 3]);
            i += 3;
        } else if (command == "comtrade" && i + 1 < argc) {
            ExportComtrade(s, remote, argv[++i]);
        } else if (command == "saveimage" && i + 1 < argc) {
            SaveImage(s, argv[++i]);
        } else if (command == "open" && i + 1 < argc) {
            OpenImage(s, argv[++i]);
        } else if (command == "title" && i + 1 < argc) {
            CheckTitle(s, argv[++i]);
        } else if (command == "centred") {
            CheckCentred(s.dialog, "main window");
            std::printf("centred\n");
        } else if (command == "version" && i + 2 < argc) {
            const std::string version = argv[++i];
            while (i + 1 < argc) CheckVersion(version, argv[++i]);
        } else if (command == "escape") {
            // Where the focus is, when it is on one of the window's own
            // controls (the page's engine keeps keys of its own).
            const HWND focus = FocusOf(s);
            const bool own = focus != nullptr && GetParent(focus) == s.dialog && focus != Item(s, kBrowser);
            PostMessageW(own ? focus : s.dialog, WM_KEYDOWN, VK_ESCAPE, 0);
            if (WaitForSingleObject(s.process.hProcess, 15000) != WAIT_OBJECT_0) {
                Fail("Escape did not end the program");
                TerminateProcess(s.process.hProcess, 1);
            } else {
                std::printf("closed\n");
            }
            CloseHandle(s.process.hThread);
            CloseHandle(s.process.hProcess);
            s = Session();
        } else {
            std::printf("unknown command %s\n", command.c_str());
            return 2;
        }
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
