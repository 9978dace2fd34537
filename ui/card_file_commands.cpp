#include "ui/card_file_commands.h"

#include <memory>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>

#include "card/card_scan_source.h"
#include "cardimage/card_save.h"
#include "dialogcore/record_comtrade.h"
#include "request/client_settings.h"
#include "ui/analysis_strings.h"
#include "ui/background_runner.h"
#include "ui/record_export.h"
#include "ui/ui_strings.h"

namespace orvanta {

CCardFileCommands::CCardFileCommands(QWidget* window, CRecordExport& exporter, ReaderOf reader, IniPathOf iniPath)
    : QObject(window), window_(window), exporter_(exporter), reader_(std::move(reader)), iniPath_(std::move(iniPath)) {
    saveImageAction_ = new QAction(text::Tr(text::kSaveCardImage), this);
    saveImageAction_->setObjectName(QStringLiteral("saveCardImageAction"));
    openImageAction_ = new QAction(text::Tr(text::kOpenCardImage), this);
    openImageAction_->setObjectName(QStringLiteral("openCardImageAction"));
    openImageAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    openImageAction_->setShortcutContext(Qt::WindowShortcut);
    comtradeAction_ = new QAction(text::Tr(text::kExportComtrade), this);
    comtradeAction_->setObjectName(QStringLiteral("exportComtradeAction"));
    comtradeAction_->setEnabled(false);  // no record shown yet
    runner_ = new CBackgroundRunner(window_);

    connect(saveImageAction_, &QAction::triggered, this, [this] {
        const QString name = CRecordExport::DefaultFileName(reader_().actualTime, QStringLiteral("img"));
        const QString path = exporter_.AskForPath(text::kSaveCardImage, name, text::Tr(text::kCardImageFiles));
        if (!path.isEmpty()) SaveCardImage(path, true);
    });
    connect(openImageAction_, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getOpenFileName(window_, text::Tr(text::kOpenCardImage).remove(QChar(0x2026)),
                                                          QDir::homePath(), text::Tr(text::kCardImageFiles));
        if (!path.isEmpty()) emit cardImageChosen(path);
    });
    connect(comtradeAction_, &QAction::triggered, this, [this] {
        const QString name = CRecordExport::DefaultFileName(reader_().actualTime, QStringLiteral("cfg"));
        const QString path = exporter_.AskForPath(text::kExportComtrade, name, QStringLiteral("COMTRADE (*.cfg)"));
        if (path.isEmpty()) return;
        ExportComtrade(path.endsWith(QLatin1String(".cfg"), Qt::CaseInsensitive) ? path.chopped(4) : path);
    });
}

CCardFileCommands::~CCardFileCommands() { runner_->Stop(); }

void CCardFileCommands::SetShownRecord(std::int32_t time) {
    shownRecord_ = time > 0 ? time : 0;
    comtradeAction_->setEnabled(shownRecord_ > 0);
}

void CCardFileCommands::SaveCardImage(const QString& path, bool replace) {
    // What the copy needs of the card is taken here; the worker reads through
    // the reader's volume system, which the window keeps until StopSave.
    auto source = std::make_shared<CardScanSource>(reader_());
    const std::string image = QFile::encodeName(path).toStdString();
    runner_->Start(
        [this, source, image, path, replace](CBackgroundRunner::Progress& progress) -> std::function<void()> {
            cardimage::CardSaveOptions options;
            options.force = replace;
            options.progress = [&progress](std::uint64_t done, std::uint64_t total) {
                progress.done = done;
                progress.total = total;
            };
            options.cancel = [&progress] { return progress.cancel.load(); };
            const cardimage::CardSaveResult result = cardimage::SaveCardImage(*source, image, options);
            return [this, result, path] {
                const bool ok = result.status == cardimage::CardSaveStatus::kSaved;
                QString message;
                if (ok) {
                    message = text::Tr(text::kCardImageSaved).arg(path, QString::fromStdString(result.sha256));
                } else if (result.status == cardimage::CardSaveStatus::kCancelled) {
                    message = text::Tr(text::kCardImageCancelled);
                } else {
                    message = text::Tr(text::kCardImageNotSaved).arg(QString::fromStdString(result.message));
                }
                exporter_.Report(ok, message);
                emit cardSaved(path, ok);
            };
        },
        text::Tr(text::kSavingCardImage));
}

void CCardFileCommands::StopSave() { runner_->Stop(); }

bool CCardFileCommands::IsSaving() const { return runner_->IsRunning(); }

bool CCardFileCommands::ExportComtrade(const QString& outBase) {
    ShownRecord record;
    if (shownRecord_ <= 0 || !ReadShownRecord(reader_(), &record) || record.time != shownRecord_) {
        exporter_.Report(false, text::Tr(shownRecord_ <= 0 ? text::kNothingToExport : text::kShownRecordUnreadable));
        return false;
    }
    const analysis::ComtradeResult result = ExportRecordComtrade(reader_(), record, ReadNominalFrequency(iniPath_()),
                                                                 QFile::encodeName(outBase).toStdString());
    if (!result.error.empty()) {
        exporter_.Report(false, text::Tr(text::kExportFailed).arg(outBase + QStringLiteral(".cfg")) + QLatin1Char('\n') +
                                    QString::fromStdString(result.error));
        return false;
    }
    exporter_.Report(true, text::Tr(text::kExportSaved).arg(outBase + QStringLiteral(".cfg")));
    return true;
}

}  // namespace orvanta
