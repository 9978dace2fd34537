#include "winui/client_app.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "platform/socket_startup.h"
#include "winui/atl_host.h"
#include "winui/main_dlg.h"
#include "winui/overview_strip.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"

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

}  // namespace

int CClientApp::Run() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    UiLanguage language = UiLanguage::kChinese;
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const bool understood = ChooseWindowLanguage(argc, argv, &language);
    ::LocalFree(argv);
    if (!understood) {
        ::MessageBoxW(nullptr, L"usage: orvanta-client [--lang zh|en]", ApplicationName().c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return 2;
    }
    SetWindowLanguage(language);
    if (!StartSocketLayer()) {
        ::MessageBoxW(nullptr, LoadText(IDS_SOCKETS_FAILED).c_str(), ApplicationName().c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    // The browser control is an OLE control: OLE, then control hosting.
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::AtlAxWinInit();
    COverviewStrip::Register(instance);
    {
        // Drive letters are the system's own: an empty map.
        const DriveMap drives;
        const std::unique_ptr<RawVolumeSystem> volumes = MakePlatformVolumeSystem(drives);
        CMainDlg window(*volumes);
        window.DoModal(nullptr);
    }
    ::OleUninitialize();
    return 0;
}

}  // namespace orvanta
