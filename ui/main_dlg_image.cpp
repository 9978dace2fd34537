// The main window takes a card image as its card (打开存储卡映像… / Open Card
// Image…): the image becomes drive E: of a drive map of its own, made from the
// same drive argument `--image` adds, the reader searches again on it, and
// the title bar and the status line (the card drive's mapped path) name it.
#include <memory>
#include <string>
#include <vector>

#include <QFile>
#include <QObject>

#include "dialogcore/card_image_option.h"
#include "platform/drive_map.h"
#include "platform/raw_volume.h"
#include "ui/analysis_pages.h"
#include "ui/card_file_commands.h"
#include "ui/main_dlg.h"
#include "ui/overview_strip.h"
#include "ui/record_export.h"

namespace orvanta {
namespace {

// The drive map and volumes of an image taken as the card. Kept, as a child
// of the window, until the window goes: a worker that still reads through an
// earlier one (the events list) ends before its children are deleted.
class CardImageVolumes : public QObject {
public:
    explicit CardImageVolumes(QObject* parent) : QObject(parent) {}
    DriveMap map;
    std::unique_ptr<RawVolumeSystem> volumes;
};

}  // namespace

void CMainDlg::OpenCardImage(const QString& path) {
    std::vector<std::string> driveArguments;
    std::string error;
    auto taken = std::make_unique<CardImageVolumes>(this);
    if (!AddCardImageDrive(QFile::encodeName(path).toStdString(), &driveArguments, &error) ||
        !DriveMap::FromArguments(driveArguments, &taken->map, &error)) {
        export_->Report(false, QString::fromStdString(error));
        return;
    }
    taken->volumes = MakePlatformVolumeSystem(taken->map);
    // No scan or copy may read through the old reader while it is replaced.
    overview_->ShowNoCard();
    analysisPages_->StopReport();
    cardFiles_->StopSave();
    drives_ = &taken->map;
    findDrives_ = nullptr;  // the image stays the card until another is opened
    reader_.emplace(*taken->volumes);
    taken.release();
    ShowCaption(path.toStdString());
    ShowCardFound();
}

}  // namespace orvanta
