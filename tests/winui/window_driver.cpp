// Drives orvanta-client.exe from another process, as a user would, and
// checks what a user sees. Commands, run in order:
//   launch DIR      starts DIR\orvanta-client.exe in DIR and waits for its window
//   places          every control of template 102 at its place (MapDialogRect)
//   resize          the minimum size, and a resize per the anchor table
//   query DATE TIME sets the picker and the lists, clicks refresh
//   forward, back   clicks ">" or "<"
//   enter           presses Enter in the window
//   about           system-menu command 16 opens the about box; Escape closes it
//   escape          presses Escape: the window closes and the program ends
// Each query prints "sent DATE TIME" (the time the controls showed when it
// started) and "shown DATE TIME" (what they show when the load has ended),
// after checking that the three buttons were disabled right after the click
// and are enabled again. Exit status 0 when every check passed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRefresh = 1, kBrowser = 1002, kHour = 1006, kMinute = 1007, kSecond = 1008, kDate = 1009,
              kBack = 1013, kForward = 1014;

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

bool Launch(Session& s, const std::string& dir) {
    wchar_t wdir[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, dir.c_str(), -1, wdir, MAX_PATH);
    s.exe = std::wstring(wdir) + L"\\orvanta-client.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + s.exe + L"\"";
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
    {kRefresh, 20, 227, 50, 14, false}, {1016, 9, 209, 39, 8, false},       {kBrowser, 9, 8, 391, 190, false},
    {kHour, 116, 206, 33, 76, true},    {kMinute, 165, 206, 33, 81, true},  {kSecond, 212, 206, 33, 83, true},
    {1017, 152, 209, 9, 8, false},      {1018, 200, 209, 9, 8, false},      {1019, 247, 209, 9, 8, false},
    {kDate, 51, 205, 57, 15, false},    {kBack, 275, 205, 13, 14, false},   {kForward, 292, 205, 13, 14, false},
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
// grows by the whole change.
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

// One query started by a click (synchronous: the handler has run when the
// click returns) or by a key (posted).
void Query(const Session& s, void* remote, const std::string& sent, int button, UINT key) {
    std::printf("sent %s\n", sent.c_str());
    if (button != 0) {
        SendMessageW(Item(s, button), BM_CLICK, 0, 0);
        if (!ButtonsDisabled(s)) Fail("buttons not disabled right after the click");
    } else {
        PostMessageW(s.dialog, WM_KEYDOWN, key, 0);
        WaitFor(ButtonsDisabled, s, 3000);
    }
    if (!WaitFor(ButtonsEnabled, s, 30000)) Fail("buttons not enabled again after the navigation");
    std::printf("shown %s\n", Shown(s, remote).c_str());
    std::fflush(stdout);
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
    wchar_t ok[16] = {};
    GetWindowTextW(GetDlgItem(find.found, IDOK), ok, 16);
    if (wcscmp(ok, L"\u786e\u5b9a") != 0) Fail("the about box has no OK button");  // 确定
    PostMessageW(find.found, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 200 && IsWindow(find.found); ++i) Sleep(25);
    if (IsWindow(find.found)) Fail("Escape did not close the about box");
    std::printf("about box checked\n");
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

}  // namespace

int main(int argc, char** argv) {
    Session s;
    void* remote = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string command = argv[i];
        if (command == "launch" && i + 1 < argc) {
            if (!Launch(s, argv[++i])) return 1;
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
        } else if (command == "enter") {
            Query(s, remote, Shown(s, remote), 0, VK_RETURN);
        } else if (command == "about") {
            CheckAbout(s);
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
