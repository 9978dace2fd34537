#include "ui/analysis_pages.h"

#include <memory>

#include <QAction>
#include <QMessageBox>

#include "analysis/report_html.h"
#include "dialogcore/local_analysis_page.h"
#include "request/client_settings.h"
#include "ui/analysis_strings.h"
#include "ui/background_runner.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"
#include "ui/web_browser2.h"

namespace orvanta {
CAnalysisPages::CAnalysisPages(QWidget* window, CWebBrowser2& browser, ReaderOf reader, IniPathOf iniPath)
    : QObject(window), window_(window), browser_(browser), reader_(std::move(reader)), iniPath_(std::move(iniPath)) {
    localAction_ = new QAction(text::Tr(text::kLocalAnalysis), this);
    localAction_->setObjectName(QStringLiteral("localAnalysisAction"));
    localAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    localAction_->setEnabled(false);  // no record shown yet
    connect(localAction_, &QAction::triggered, this, [this] { ShowLocalAnalysis(); });

    reportAction_ = new QAction(text::Tr(text::kMakeReport), this);
    reportAction_->setObjectName(QStringLiteral("makeReportAction"));
    reportAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    for (QAction* action : {localAction_, reportAction_}) action->setShortcutContext(Qt::WindowShortcut);

    runner_ = new CBackgroundRunner(window_);
}

CAnalysisPages::~CAnalysisPages() { runner_->Stop(); }

void CAnalysisPages::SetShownRecord(std::int32_t time) {
    shownRecord_ = time > 0 ? time : 0;
    localAction_->setEnabled(shownRecord_ > 0);
}

bool CAnalysisPages::ReadRecord(ShownRecord* record) {
    if (shownRecord_ <= 0) return false;
    return ReadShownRecord(reader_(), record) && record->time == shownRecord_;
}

bool CAnalysisPages::ShowLocalAnalysis() {
    if (shownRecord_ <= 0) {
        Tell(text::Tr(text::kNothingToExport));
        return false;
    }
    ShownRecord record;
    if (!ReadRecord(&record)) {
        Tell(text::Tr(text::kShownRecordUnreadable));
        return false;
    }
    browser_.ShowLocalPage(QString::fromStdString(LocalAnalysisPage(CurrentUiLanguage(), record)));
    return true;
}

QString CAnalysisPages::WithLocalAnalysis(const QString& page) {
    ShownRecord record;
    if (!ReadRecord(&record)) return page;
    return QString::fromStdString(
        orvanta::WithLocalAnalysis(page.toStdString(), LocalAnalysisSection(CurrentUiLanguage(), record)));
}

void CAnalysisPages::MakeReport(std::int32_t from, std::int32_t to) {
    TimeRange range;
    if (from < to) {
        range.hasFrom = range.hasTo = true;
        range.from = from;
        range.to = to;
    }
    analysis::ReportSettings settings;
    settings.nominalVolts = ReadNominalVoltage(iniPath_());
    // The reader stays in place while the report runs: the window stops the
    // report before it replaces its reader or goes.
    const CCardReader* reader = &reader_();
    runner_->Start(
        [this, reader, settings, range](CBackgroundRunner::Progress& progress) -> std::function<void()> {
            analysis::CRangeReport maker(*reader, settings);
            maker.SetProgressHook([&progress](std::uint64_t done, std::uint64_t total) {
                progress.done = done;
                progress.total = total;
            });
            maker.SetCancelHook([&progress] { return progress.cancel.load(); });
            auto made = std::make_shared<analysis::RangeReport>(maker.Make(range));
            return [this, made] { OnReportDone(*made); };
        },
        text::Tr(text::kReportRunning));
}

bool CAnalysisPages::IsReporting() const { return runner_->IsRunning(); }

void CAnalysisPages::StopReport() {
    runner_->Stop();
}

void CAnalysisPages::OnReportDone(const analysis::RangeReport& report) {
    switch (report.status) {
        case OverviewStatus::kNoDevice:
            Tell(text::Tr(text::kReportFailed).arg(QString::fromStdString(report.message)));
            emit reportFinished(false);
            return;
        case OverviewStatus::kCancelled:
            Tell(text::Tr(text::kReportCancelled));
            emit reportFinished(false);
            return;
        default:
            break;  // what was read, even of a card pulled mid-way or of an empty range, is reported
    }
    lastReport_ = report;
    lastMessage_.clear();
    browser_.ShowLocalPage(QString::fromStdString(analysis::ReportHtml(report, CurrentUiLanguage())));
    emit reportFinished(true);
}

void CAnalysisPages::Tell(const QString& text) {
    lastMessage_ = text;
    auto* box = new QMessageBox(QMessageBox::Information, window_->windowTitle(), text, QMessageBox::Ok, window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace orvanta
