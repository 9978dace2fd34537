#include "ui/analysis_pages.h"

#include <QAction>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include "analysis/report_html.h"
#include "dialogcore/local_analysis_page.h"
#include "request/client_settings.h"
#include "ui/analysis_strings.h"
#include "ui/report_runner.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"
#include "ui/web_browser2.h"

namespace orvanta {
namespace {

// A week's report takes about half a second: a shorter one shows no dialog.
constexpr int kProgressDelayMs = 400;

}  // namespace

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

    runner_ = new CReportRunner(this);
    connect(runner_, &CReportRunner::finished, this, &CAnalysisPages::OnReportDone);
    progress_ = new QProgressDialog(text::Tr(text::kReportRunning), text::Tr(text::kReportCancel), 0, 100, window_);
    progress_->setObjectName(QStringLiteral("reportProgress"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(kProgressDelayMs);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->reset();  // a new QProgressDialog would show itself after its minimum duration
    connect(progress_, &QProgressDialog::canceled, runner_, &CReportRunner::Cancel);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] { progress_->setValue(runner_->Percent()); });
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
    runner_->Start(reader_(), settings, range);
    progress_->reset();
    progress_->setValue(0);  // shows the dialog once the report runs longer than its minimum duration
    progressTimer_->start();
}

bool CAnalysisPages::IsReporting() const { return runner_->IsRunning(); }

void CAnalysisPages::StopReport() {
    runner_->Stop();
    progressTimer_->stop();
    progress_->reset();
}

void CAnalysisPages::OnReportDone(const analysis::RangeReport& report) {
    progressTimer_->stop();
    progress_->reset();
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
