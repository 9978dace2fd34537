#include "winui/client_app.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "dialogcore/card_image_option.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "platform/socket_startup.h"
#include "winui/atl_host.h"
#include "winui/main_dlg.h"
#include "winui/overview_strip.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"
#include "winui/window_options.h"

namespace orvanta {
namespace {

// The application's name: the executable's file name without ".exe".
std::wstring ApplicationName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

// Writes `text` to the standard handle `which` when the program has one (a
// console it was started from, a redirected file or pipe), otherwise shows it
// in a message box: a window program has no console of its own.
void Tell(const std::wstring& text, DWORD which, UINT icon) {
    auto usable = [](HANDLE handle) {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
    };
    HANDLE handle = ::GetStdHandle(which);
    if (!usable(handle) && ::AttachConsole(ATTACH_PARENT_PROCESS)) handle = ::GetStdHandle(which);
    if (usable(handle)) {
        DWORD written = 0;
        if (::GetFileType(handle) == FILE_TYPE_CHAR &&
            ::WriteConsoleW(handle, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            return;
        }
        const std::string bytes = Narrow(text);
        if (::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return;
    }
    ::MessageBoxW(nullptr, text.c_str(), ApplicationName().c_str(), MB_OK | icon);
}

}  // namespace

int CClientApp::Run() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const WindowOptions options = ReadWindowOptions(argc, argv, LanguageOfUser());
    ::LocalFree(argv);
    switch (options.action) {
    case WindowOptions::Action::kHelp:
        Tell(WindowHelpText(), STD_OUTPUT_HANDLE, MB_ICONINFORMATION);
        return 0;
    case WindowOptions::Action::kVersion:
        Tell(WindowVersionText(), STD_OUTPUT_HANDLE, MB_ICONINFORMATION);
        return 0;
    case WindowOptions::Action::kBad:
        Tell(L"orvanta-client: " + options.problem + L"\nTry 'orvanta-client --help' for more information.\n",
             STD_ERROR_HANDLE, MB_ICONEXCLAMATION);
        return 2;
    case WindowOptions::Action::kRun:
        break;
    }
    SetWindowLanguage(options.language);
    if (!StartSocketLayer()) {
        ::MessageBoxW(nullptr, LoadText(IDS_SOCKETS_FAILED).c_str(), ApplicationName().c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    // The browser control is an OLE control: OLE, then control hosting.
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                          ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&controls);
    ::AtlAxWinInit();
    COverviewStrip::Register(instance);
    // Drive letters are the system's own; a card image (--image, or one
    // 打开存储卡映像… chose) is drive E:. Another image opens a new window
    // in the old one's place, with a card reader and volumes of its own.
    MainDlgCard card;
    card.image = options.image;
    for (;;) {
        if (!card.image.empty()) card.drives.Set(kCardImageDrive, Narrow(card.image));
        const std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(card.drives);
        CMainDlg window(*volumes, card);
        window.DoModal(nullptr);
        if (window.ImageToOpen().empty()) break;
        card.image = window.ImageToOpen();
        card.placement = window.Placement();
        card.placed = true;
    }
    ::OleUninitialize();
    return 0;
}

}  // namespace orvanta
