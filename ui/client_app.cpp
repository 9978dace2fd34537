#include "ui/client_app.h"

#include <utility>

#include <QApplication>
#include <QMessageBox>


#include "platform/socket_startup.h"
#include "ui/main_dlg.h"
#include "ui/ui_strings.h"

namespace orvanta {

CClientApp::CClientApp(RawVolumeSystem& volumes, const DriveMap* drives, std::function<void()> findDrives)
    : volumes_(volumes), drives_(drives), findDrives_(std::move(findDrives)) {}

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
    options.findDrives = findDrives_;
    options.cardImage = cardImage_;
    CMainDlg dialog(volumes_, options);
    mainWindow_ = &dialog;
    dialog.exec();  // the end code is not examined
    mainWindow_ = nullptr;
    return false;
}

}  // namespace orvanta
