#include "ui/record_export.h"

#include <QDir>
#include <QFileDialog>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QSaveFile>
#include <QWebEnginePage>

#include "dialogcore/export_file_name.h"
#include "request/record_csv.h"
#include "ui/export_files.h"
#include "ui/web_browser2.h"
#include "ui/ui_strings.h"

namespace orvanta {

CRecordExport::CRecordExport(QWidget* window, CWebBrowser2& browser, ReaderOf reader)
    : QObject(window), window_(window), browser_(browser), reader_(std::move(reader)) {}

QString CRecordExport::DefaultFileName(std::int32_t recordTime, const QString& suffix) {
    return QString::fromStdString(ExportFileName(recordTime, suffix.toStdString()));
}

bool CRecordExport::WriteFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

void CRecordExport::Report(bool ok, const QString& text) {
    lastMessage_ = text;
    ShowExportOutcome(window_, ok, text);
}

QString CRecordExport::AskForPath(const char* caption, const QString& suffix, const QString& filter) {
    const QString proposal = QDir(LastExportFolder()).filePath(DefaultFileName(reader_().actualTime, suffix));
    const QString path =
        QFileDialog::getSaveFileName(window_, text::Tr(caption).remove(QChar(0x2026)), proposal, filter);
    if (!path.isEmpty()) RememberExportFolder(path);
    return path;
}

void CRecordExport::ChooseAndSavePdf() {
    const QString path = AskForPath(text::kSavePdf, QStringLiteral("pdf"), QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) SavePageAsPdf(path);
}

void CRecordExport::ChooseAndExportCsv() {
    const QString path = AskForPath(text::kExportCsv, QStringLiteral("csv"), QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) ExportRecordCsv(path);
}

void CRecordExport::SavePageAsPdf(const QString& path) {
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                         QPageLayout::Millimeter);
    // The engine hands over the document (empty when printing failed); it
    // is written like the CSV.
    QPointer<CRecordExport> self(this);
    browser_.page()->printToPdf(
        [self, path](const QByteArray& pdf) {
            if (!self) return;
            QString error;
            const bool ok = !pdf.isEmpty() && WriteFile(path, pdf, &error);
            if (pdf.isEmpty()) error = text::Tr(text::kPdfPrintFailed);
            self->Report(ok, ExportOutcomeText(ok, path, error));
            emit self->pdfSaved(path, ok);
        },
        a4);
}

bool CRecordExport::ExportRecordCsv(const QString& path) {
    const std::string csv = BuildRecordCsv(reader_());
    QString error;
    const bool ok = WriteFile(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())), &error);
    Report(ok, ExportOutcomeText(ok, path, error));
    return ok;
}

}  // namespace orvanta
