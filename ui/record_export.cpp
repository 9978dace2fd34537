#include "ui/record_export.h"

#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QSaveFile>
#include <QStringList>
#include <QWebEnginePage>

#include "card/local_time.h"
#include "card/overview_csv.h"
#include "dialogcore/export_file_name.h"
#include "request/client_settings.h"
#include "request/record_csv.h"
#include "ui/export_files.h"
#include "ui/pdf_footer.h"
#include "ui/web_browser2.h"
#include "ui/ui_strings.h"

namespace orvanta {

namespace {

// The PDF's footer: the record shown last and its card (ASCII: the footer's
// font is a standard one).
std::string FooterText(const CCardReader& reader) {
    std::string text = "Orvanta";
    if (reader.actualTime <= 0) return text + "  |  No record";
    text += "  |  Record " + FormatLocalStandard(reader.actualTime) + " (" +
            FormatUtcOffset(StandardUtcOffset(reader.actualTime)) + ")";
    const std::int32_t code = reader.StartupDriveCode();
    if (code >= 'A' && code <= 'Z') text += std::string("  |  Card ") + static_cast<char>(code) + ':';
    return text + " serial " + std::to_string(static_cast<std::uint32_t>(reader.deviceSerial));
}

}  // namespace

CRecordExport::CRecordExport(QWidget* window, CWebBrowser2& browser, ReaderOf reader, IniPathOf iniPath)
    : QObject(window), window_(window), browser_(browser), reader_(std::move(reader)), iniPath_(std::move(iniPath)) {}

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

void CRecordExport::ReportWrite(bool ok, const QStringList& paths, const QString& error) {
    Report(ok, ExportOutcomeText(ok, paths.join(QLatin1Char('\n')), error));
}

QString CRecordExport::AskForPath(const char* caption, const QString& name, const QString& filter) {
    const QString proposal = QDir(LastExportFolder()).filePath(name);
    const QString path =
        QFileDialog::getSaveFileName(window_, text::Tr(caption).remove(QChar(0x2026)), proposal, filter);
    if (!path.isEmpty()) RememberExportFolder(path);
    return path;
}

void CRecordExport::ChooseAndSavePdf() {
    const QString path = AskForPath(text::kSavePdf, DefaultFileName(reader_().actualTime, QStringLiteral("pdf")),
                                    QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) SavePageAsPdf(path);
}

void CRecordExport::ChooseAndExportCsv() {
    const QString path = AskForPath(text::kExportCsv, DefaultFileName(reader_().actualTime, QStringLiteral("csv")),
                                    QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) ExportRecordCsv(path);
}

void CRecordExport::ChooseAndExportOverview(const std::vector<OverviewSample>& samples, std::int32_t from) {
    const QString name = DefaultFileName(from, QStringLiteral("csv")).replace(QLatin1String("orvanta"),
                                                                             QLatin1String("orvanta-overview"));
    const QString path = AskForPath(text::kExportOverview, name, QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) ExportOverviewCsv(path, samples);
}

void CRecordExport::SavePageAsPdf(const QString& path) {
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                         QPageLayout::Millimeter);
    // The engine hands over the document (empty when printing failed); it
    // is written like the CSV.
    QPointer<CRecordExport> self(this);
    const std::string footer = FooterText(reader_());
    browser_.page()->printToPdf(
        [self, path, footer](const QByteArray& printed) {
            if (!self) return;
            // Each page gets its footer (the document stays as printed when
            // its shape is not the engine's usual one).
            std::string bytes = printed.toStdString();
            const QByteArray pdf = AddPdfFooter(&bytes, footer)
                                       ? QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))
                                       : printed;
            QString error;
            const bool ok = !pdf.isEmpty() && WriteFile(path, pdf, &error);
            if (pdf.isEmpty()) error = text::Tr(text::kPdfPrintFailed);
            self->ReportWrite(ok, {path}, error);
            emit self->pdfSaved(path, ok);
        },
        a4);
}

bool CRecordExport::ExportRecordCsv(const QString& path) {
    // All three, or none left behind.
    QStringList written;
    for (const RecordCsvFile& file : BuildRecordCsv(reader_(), ReadNominalFrequency(iniPath_()))) {
        const QString target = QString::fromStdString(RecordCsvPath(path.toStdString(), file.suffix));
        QString error;
        if (!WriteFile(target, QByteArray(file.text.data(), static_cast<qsizetype>(file.text.size())), &error)) {
            for (const QString& done : written) QFile::remove(done);
            ReportWrite(false, {target}, error);
            return false;
        }
        written << target;
    }
    ReportWrite(true, written, QString());
    return true;
}

bool CRecordExport::ExportOverviewCsv(const QString& path, const std::vector<OverviewSample>& samples) {
    const std::string csv = OverviewCsv(samples);
    QString error;
    const bool ok = WriteFile(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())), &error);
    ReportWrite(ok, {path}, error);
    return ok;
}

}  // namespace orvanta
