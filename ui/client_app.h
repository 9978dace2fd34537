// CClientApp: the application's start-up. It runs the main window as a modal
// dialog and ends the application when the window closes.
#pragma once

#include <functional>
#include <string>

namespace orvanta {

class CMainDlg;
class DriveMap;
class RawVolumeSystem;

class CClientApp {
public:
    // `volumes` and `drives` must outlive the start-up; `drives` may be null.
    // `findDrives`, when given, finds the removable media again before each
    // new search for the card (MainDlgOptions::findDrives).
    CClientApp(RawVolumeSystem& volumes, const DriveMap* drives, std::function<void()> findDrives = {});

    // The start-up: socket layer (Windows only), then the main window, run
    // modally. Returns false in every case: the application then ends.
    bool InitInstance();

    // The card image taken as drive E: (--image), named in the window's title.
    void SetCardImage(const std::string& image) { cardImage_ = image; }

    // The main window while it runs, else null.
    CMainDlg* MainWindow() const { return mainWindow_; }

private:
    RawVolumeSystem& volumes_;
    const DriveMap* drives_;
    std::function<void()> findDrives_;
    std::string cardImage_;
    CMainDlg* mainWindow_ = nullptr;
};

}  // namespace orvanta
