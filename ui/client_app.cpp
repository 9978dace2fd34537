#include "ui/client_app.h"

#include <QApplication>
#include <QMessageBox>

#ifdef _WIN32
#include <winsock2.h>
#include <cstdlib>
#endif

#include "ui/main_dlg.h"
#include "ui/ui_strings.h"

namespace orvanta {

bool StartSocketLayer() {
#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        return false;
    }
    if (LOBYTE(data.wVersion) != 1 || HIBYTE(data.wVersion) != 1) {
        WSACleanup();
        return false;
    }
    std::atexit([] { WSACleanup(); });
    return true;
#else
    return true;
#endif
}

CClientApp::CClientApp(RawVolumeSystem& volumes, const DriveMap* drives) : volumes_(volumes), drives_(drives) {}

bool CClientApp::InitInstance() {
    if (!StartSocketLayer()) {
        QMessageBox::warning(nullptr, QApplication::applicationName(),
                             text::Tr(text::kSocketStartupFailed));
        return false;
    }
    // Control containment and three-dimensional controls: Qt hosts the
    // browser widget and draws its controls itself; nothing to switch on.

    // The window constructs the card reader: calibration ratios, then the
    // drive search, once for the whole run, before the window is shown.
    MainDlgOptions options;
    options.drives = drives_;
    CMainDlg dialog(volumes_, options);
    mainWindow_ = &dialog;
    dialog.exec();  // the end code is not examined
    mainWindow_ = nullptr;
    return false;
}

}  // namespace orvanta
