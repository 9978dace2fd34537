// CAnalysisPages: the window's power-quality pages made on this computer and
// shown in its browser, where they print and save as PDF like any page:
// - 本地分析 / Local analysis (Ctrl+L, context menus) of the record the last
//   query showed, and the same analysis below our page when the server
//   cannot be reached;
// - 生成报告… / Make report… (Ctrl+R, context menus) of the overview strip's
//   range, made off the user-interface thread with a progress dialog that
//   can cancel it.
// The pages themselves come from dialogcore/ and analysis/; nothing is
// computed here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QObject>
#include <QString>

#include "analysis/range_report.h"
#include "card/card_reader.h"

class QAction;
class QWidget;

namespace orvanta {

class CBackgroundRunner;
class CWebBrowser2;
struct ShownRecord;

class CAnalysisPages : public QObject {
    Q_OBJECT

public:
    // The window's reader at the time of a command (a new drive search
    // replaces it), and its configuration file (the nominal voltage).
    using ReaderOf = std::function<CCardReader&()>;
    using IniPathOf = std::function<std::string()>;

    // `window` parents the actions, dialogs and messages; it and `browser`
    // outlive this.
    CAnalysisPages(QWidget* window, CWebBrowser2& browser, ReaderOf reader, IniPathOf iniPath);
    ~CAnalysisPages() override;

    QAction* LocalAnalysisAction() const { return localAction_; }
    QAction* ReportAction() const { return reportAction_; }

    // The record the last query showed (0: none); the local analysis is
    // offered only for a record.
    void SetShownRecord(std::int32_t time);
    // Shows the local analysis of the record shown; false (with a message)
    // when there is none or it can no longer be read.
    bool ShowLocalAnalysis();
    // `page` with the local analysis of the record shown put in at its end;
    // `page` itself when there is no record to analyse.
    QString WithLocalAnalysis(const QString& page);

    // Makes the report of [from, to] (the whole card when from >= to) and
    // shows it when it is done.
    void MakeReport(std::int32_t from, std::int32_t to);
    bool IsReporting() const;
    // Stops a report in progress without showing anything (before the
    // window's reader is replaced).
    void StopReport();
    // The last report shown (for the window's tests).
    const std::optional<analysis::RangeReport>& LastReport() const { return lastReport_; }
    // The text of the last message shown (for the window's tests).
    const QString& LastMessage() const { return lastMessage_; }

signals:
    // A report ended: shown (ok) or not (failed, cancelled).
    void reportFinished(bool ok);

private:
    bool ReadRecord(ShownRecord* record);
    void OnReportDone(const analysis::RangeReport& report);
    void Tell(const QString& text);

    QWidget* window_;
    CWebBrowser2& browser_;
    ReaderOf reader_;
    IniPathOf iniPath_;
    QAction* localAction_ = nullptr;
    QAction* reportAction_ = nullptr;
    CBackgroundRunner* runner_ = nullptr;
    std::int32_t shownRecord_ = 0;
    std::optional<analysis::RangeReport> lastReport_;
    QString lastMessage_;
};

}  // namespace orvanta
