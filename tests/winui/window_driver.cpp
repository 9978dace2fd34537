// Drives orvanta-client.exe from another process, as a user would, and
// checks what a user sees. Commands, run in order:
//   launch DIR [--lang L]  starts DIR\orvanta-client.exe in DIR (with --lang L) and
//                   waits for its window
//   places          every control of template 102 at its place (MapDialogRect)
//   resize          the minimum size, and a resize per the anchor table
//   query DATE TIME sets the picker and the lists, clicks refresh
//   forward, back   clicks ">" or "<"
//   stay forward|back  clicks ">" or "<" at the newest or oldest record: no
//                   query, the same time, the status line says so
//   enter           presses Enter in the window
//   about           system-menu command 16 opens the about box; Escape closes it
//   texts LANG      the window's and the about box's texts are those of LANG (zh, en)
//   start           the start page was written for the browser, in the window's language
//   strip           waits for the overview strip's scan, clicks the strip's middle
//   doubleclick     double-clicks the strip: it reads the whole card again, no query
//   overview        waits for the strip's scan, then Home reads the whole card again
//   csv FILE        exports the record through the context menu's command to FILE
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
//   events VOLTS    system-menu command 0x70 opens the events list; scans
//                   again at VOLTS, prints each row ("event KIND,START,
//                   DURATION,EXTREME"), sorts by duration and by start through
//                   the headers, then clicks the first row: a query
//   escape          presses Escape: the window closes and the program ends
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
              kEventsList = 1108, kLocalAnalysis = 0xC0, kMakeReport = 0xD0, kFirstQuantity = 0x500;

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

bool Launch(Session& s, const std::string& dir, const std::string& language) {
    wchar_t wdir[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, dir.c_str(), -1, wdir, MAX_PATH);
    s.exe = std::wstring(wdir) + L"\\orvanta-client.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + s.exe + L"\"";
    if (!language.empty()) command += L" --lang " + std::wstring(language.begin(), language.end());
    if (!CreateProcessW(s.exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, wdir, &startup,
                        &s.process)) {
        Fail("launch", dir);
        return false;
    }
    FindData find = {s.process.dwProcessId, nullptr, nullptr};
    for (int i = 0; i < 600 && find.found == nullptr; ++i) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.found == nullptr) Sleep(50);
    }
    s.dialog = find.found;
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

// The anchor table: the bottom row follows the height change, the browser
// grows by the whole change, the strip follows the height change and grows
// by the width change.
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

// After a query: the card's line (its drive E:, or none found at start) and
// the record's (the time the controls show, or none found). Prints "status
// card|nocard record|norecord" for the script to hold against the row.
void CheckStatus(const Session& s, void* remote) {
    const auto lines = StatusLines(s);
    const std::wstring card = g_english ? L"Card E:" : L"\u5b58\u50a8\u5361 E:";
    const std::wstring noCard =
        g_english ? L"No card found at start-up" : L"\u542f\u52a8\u65f6\u672a\u627e\u5230\u5b58\u50a8\u5361";
    const std::string shown = Shown(s, remote);
    const std::wstring record = (g_english ? L"Record: " : L"\u8bb0\u5f55\u65f6\u95f4: ") +
                                std::wstring(shown.begin(), shown.end());
    const std::wstring noRecord = g_english ? L"No record for the chosen time"
                                            : L"\u672a\u627e\u5230\u6240\u9009\u65f6\u95f4\u7684\u8bb0\u5f55";
    if (lines.first != card && lines.first != noCard) Fail("the status line's card line", Utf8(lines.first));
    if (lines.second != record && lines.second != noRecord) Fail("the status line's record line", Utf8(lines.second));
    std::printf("status %s %s\n", lines.first == card ? "card" : "nocard",
                lines.second == record ? "record" : "norecord");
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
    CheckStatus(s, remote);
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

// The context menu's CSV export into `path` (ending in ".csv"), through the save dialog.
void ExportCsv(const Session& s, const std::string& path) {
    PostMessageW(s.dialog, WM_COMMAND, kExportCsv, 0);
    FindData find = {s.process.dwProcessId, nullptr, s.dialog};
    for (int i = 0; i < 400 && find.found == nullptr; ++i) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&find));
        if (find.found == nullptr) Sleep(25);
    }
    if (find.found == nullptr) return Fail("the export opened no save dialog");
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, MAX_PATH);
    // The file name box: a combo box (cmb13) or an edit control (edt1).
    HWND name = GetDlgItem(find.found, 0x47c);
    if (name == nullptr) name = GetDlgItem(find.found, 0x480);
    if (name == nullptr) return Fail("the save dialog has no file name box");
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide));
    PostMessageW(find.found, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 400 && IsWindow(find.found); ++i) Sleep(25);
    if (IsWindow(find.found)) Fail("the save dialog did not close");
    // The window writes the file after its dialog has gone: a message it
    // answers after that.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(s.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    // "X.csv" names the record's three files: X-waveform.csv first.
    const std::wstring waveform = std::wstring(wide).substr(0, wcslen(wide) - 4) + L"-waveform.csv";
    if (GetFileAttributesW(waveform.c_str()) == INVALID_FILE_ATTRIBUTES) Fail("the export wrote no file", path);
    std::printf("exported %s\n", path.c_str());
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

// The events list: a scan at `volts`, its rows, two sorts, a click on the first row.
void Events(const Session& s, void* remote, const std::string& volts) {
    char* block = static_cast<char*>(
        VirtualAllocEx(s.process.hProcess, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    PostMessageW(s.dialog, WM_SYSCOMMAND, kFindEvents, 0);
    const HWND events = EventsDialog(s);
    if (events == nullptr || block == nullptr) return Fail("command 0x70 opened no events list");
    const HWND scan = GetDlgItem(events, kEventsScan);
    if (!WaitScanEnabled(scan, true)) return Fail("the events scan at the configured voltage did not end");
    const std::wstring wide(volts.begin(), volts.end());
    SendMessageW(GetDlgItem(events, kEventsNominal), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(scan, BM_CLICK, 0, 0);
    if (!WaitScanEnabled(scan, true)) return Fail("the events scan did not end");
    const HWND list = GetDlgItem(events, kEventsList);
    const auto rows = ListRows(s, list, block);
    for (const auto& row : rows) {
        std::printf("event %s,%s,%s,%s\n", row[0].c_str(), row[1].c_str(), row[2].c_str(), row[3].c_str());
    }
    if (rows.empty()) return Fail("the events list is empty");
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ClickAt(s, header, HDM_GETITEMRECT, 2, 0, block);
    if (!SortedBy(ListRows(s, list, block), 2, true)) Fail("a click on the duration header did not sort by it");
    ClickAt(s, header, HDM_GETITEMRECT, 1, 0, block);
    const auto byStart = ListRows(s, list, block);
    if (!SortedBy(byStart, 1, false) || byStart != rows) Fail("a click on the start header did not sort by it");
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
    PostMessageW(events, WM_COMMAND, IDCANCEL, 0);
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


}  // namespace

int main(int argc, char** argv) {
    Session s;
    void* remote = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string command = argv[i];
        if (command == "launch" && i + 1 < argc) {
            const std::string dir = argv[++i];
            std::string language;
            if (i + 2 < argc && std::string(argv[i + 1]) == "--lang") {
                language = argv[i + 2];
                i += 2;
            }
            if (!Launch(s, dir, language)) return 1;
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
            ExportCsv(s, argv[++i]);
        } else if (command == "escape") {
            PostMessageW(s.dialog, WM_KEYDOWN, VK_ESCAPE, 0);
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
