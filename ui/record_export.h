// The window's exports of what it shows: the browser's page as an A4 PDF,
// printed by the browser engine itself, and the record of the last query as
// CSV (the three files orvanta-query --csv writes), and the overview strip's
// samples (the CSV of orvanta-card overview). The files are written
// through QSaveFile, so they get the same permissions and a failed write
// leaves no half file. Each export says where the file went, or why it
// failed, in a message that does not block the window. The file dialogs
// propose a name with the record's time in the folder used last.
#pragma once

#include <cstdint>
#include <functional>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "card/card_overview.h"
#include "card/card_reader.h"

class QWidget;

namespace orvanta {

class CWebBrowser2;

class CRecordExport : public QObject {
    Q_OBJECT

public:
    // The window's reader at the time of an export (a new drive search
    // replaces it).
    using ReaderOf = std::function<const CCardReader&()>;
    // The configuration file in use (its nominalFrequency times the waveform).
    using IniPathOf = std::function<std::string()>;

    // `window` parents the dialogs and messages; it and `browser` outlive this.
    CRecordExport(QWidget* window, CWebBrowser2& browser, ReaderOf reader, IniPathOf iniPath);

    // Asks for a file and exports to it.
    void ChooseAndSavePdf();
    void ChooseAndExportCsv();
    // The strip's samples of [from, to]; the name proposed carries `from`.
    void ChooseAndExportOverview(const std::vector<OverviewSample>& samples, std::int32_t from);

    // The exports without their file dialogs. The PDF is printed
    // asynchronously: pdfSaved reports its end.
    void SavePageAsPdf(const QString& path);
    // `path` names the three files: "X.csv" gives X-waveform.csv,
    // X-trend.csv and X-info.csv.
    bool ExportRecordCsv(const QString& path);
    bool ExportOverviewCsv(const QString& path, const std::vector<OverviewSample>& samples);

    // Asks for a file to write, proposing `name` in the folder used last;
    // empty when the user cancelled. The window's other card files (card
    // images, COMTRADE) are asked for and reported the same way.
    QString AskForPath(const char* caption, const QString& name, const QString& filter);
    // Says where a file went or why it failed, without blocking the window.
    void Report(bool ok, const QString& text);

    // The text of the last message shown (for the window's tests).
    const QString& LastMessage() const { return lastMessage_; }

    // "orvanta-2024-03-14_152000.pdf" for a record of 2024-03-14 15:20:00
    // (local standard time); "orvanta.pdf" without a record (time <= 0).
    static QString DefaultFileName(std::int32_t recordTime, const QString& suffix);
    // Writes `bytes` to `path` through QSaveFile; false with *error on failure.
    static bool WriteFile(const QString& path, const QByteArray& bytes, QString* error);

signals:
    // A PDF export ended; ok is false when printing or writing failed.
    void pdfSaved(const QString& path, bool ok);

private:
    // "Saved to" the files, or "Cannot write" the file and why.
    void ReportWrite(bool ok, const QStringList& paths, const QString& error);

    QWidget* window_;
    CWebBrowser2& browser_;
    ReaderOf reader_;
    IniPathOf iniPath_;
    QString lastMessage_;
};

}  // namespace orvanta
