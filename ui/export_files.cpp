#include "ui/export_files.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QWidget>

#include "card/local_time.h"
#include "ui/ui_strings.h"

namespace orvanta {

namespace {

const char kLastFolderKey[] = "export/lastFolder";

}  // namespace

QString LastExportFolder() {
    const QString folder = QSettings().value(QLatin1String(kLastFolderKey)).toString();
    return folder.isEmpty() || !QDir(folder).exists() ? QDir::homePath() : folder;
}

void RememberExportFolder(const QString& path) {
    QSettings().setValue(QLatin1String(kLastFolderKey), QFileInfo(path).absolutePath());
}

QString ExportFileStamp(std::int32_t time) {
    // "YYYY-MM-DD HH:MM:SS" -> "YYYY-MM-DD_HHMMSS"
    QString stamp = QString::fromStdString(FormatLocalStandard(time));
    return stamp.replace(QLatin1Char(' '), QLatin1Char('_')).remove(QLatin1Char(':'));
}

QString ExportOutcomeText(bool ok, const QString& path, const QString& error) {
    const QString shown = QDir::toNativeSeparators(path);
    return ok ? text::Tr(text::kExportSaved).arg(shown)
              : text::Tr(text::kExportFailed).arg(shown) + QLatin1Char('\n') + error;
}

void ShowExportOutcome(QWidget* parent, bool ok, const QString& text) {
    auto* box = new QMessageBox(ok ? QMessageBox::Information : QMessageBox::Warning, parent->windowTitle(), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace orvanta
