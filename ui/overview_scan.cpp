#include "ui/overview_scan.h"

#include <algorithm>

#include <QThread>
#include <QTimer>

#include "analysis/strip_quality.h"
#include "dialogcore/overview_view.h"
#include "ui/ui_strings.h"

namespace orvanta {

// What the worker and the controller share while a scan runs.
struct COverviewScan::Job {
    std::atomic<bool> cancel{false};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
};

COverviewScan::COverviewScan(QObject* parent) : QObject(parent) {
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &COverviewScan::progressed);
}

COverviewScan::~COverviewScan() {
    if (job_) job_->cancel = true;
    WaitForWorker();
}

void COverviewScan::StartScan(const CCardReader& reader) {
    overview_ = std::make_unique<CardOverview>(reader);
    // The strip's other quantities (THD-F, power factor) come from the same scan.
    analysis::EnableStripQuality(*overview_, reader);
    samples_.clear();
    Scan(OverviewRequest());
}

void COverviewScan::ShowNoCard(const QString& cause) {
    if (job_) job_->cancel = true;
    ++generation_;
    WaitForWorker();
    overview_.reset();
    samples_.clear();
    scanning_ = false;
    progressTimer_->stop();
    message_ = cause.isEmpty() ? text::Tr(text::kOverviewNoCard) : cause;
}

void COverviewScan::Scan(const OverviewRequest& request) {
    if (!overview_) return;
    if (job_) job_->cancel = true;
    WaitForWorker();

    auto job = std::make_shared<Job>();
    job_ = job;
    const std::uint64_t generation = ++generation_;
    const bool wholeCard = !request.hasFrom && !request.hasTo;
    CardOverview overview = *overview_;  // the worker's own copy
    overview.SetProgressHook([job](std::size_t done, std::size_t total) {
        job->done = done;
        job->total = total;
    });
    overview.SetCancelHook([job] { return job->cancel.load(); });
    COverviewScan* scan = this;
    // The worker opens the card's volume itself; the controller waits for
    // it before it goes, so `scan` outlives the worker.
    worker_ = QThread::create([overview, request, scan, generation, wholeCard]() {
        const OverviewResult result = overview.Scan(request);
        QMetaObject::invokeMethod(
            scan, [scan, generation, wholeCard, result] { scan->OnScanDone(generation, wholeCard, result); },
            Qt::QueuedConnection);
    });
    scanning_ = true;
    message_.clear();
    worker_->start();
    progressTimer_->start();
    emit progressed();
}

void COverviewScan::Cancel() {
    if (!scanning_) return;
    if (job_) job_->cancel = true;
    ++generation_;  // whatever the worker still reports is dropped
    WaitForWorker();
    scanning_ = false;
    progressTimer_->stop();
    message_ = text::Tr(text::kOverviewCancelled);
    emit finished(false);
}

void COverviewScan::WaitForWorker() {
    if (worker_ == nullptr) return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void COverviewScan::OnScanDone(std::uint64_t generation, bool wholeCard, const OverviewResult& result) {
    if (generation != generation_) return;
    WaitForWorker();
    scanning_ = false;
    progressTimer_->stop();
    message_.clear();
    switch (result.status) {
        case OverviewStatus::kNoDevice:
            samples_.clear();
            message_ = text::Tr(text::kOverviewNoDevice);
            break;
        case OverviewStatus::kNoRecords:
            samples_.clear();
            message_ = text::Tr(text::kOverviewNoRecords);
            break;
        case OverviewStatus::kCancelled:
            message_ = text::Tr(text::kOverviewCancelled);
            break;
        case OverviewStatus::kCardGone:
        case OverviewStatus::kDone:
            samples_ = result.samples;
            if (result.status == OverviewStatus::kCardGone) message_ = text::Tr(text::kOverviewCardGone);
            if (samples_.empty() && message_.isEmpty()) message_ = text::Tr(text::kOverviewEmptyRange);
            if (wholeCard) {
                cardOldest_ = result.oldestTime;
                cardNewest_ = result.newestTime;
            }
            break;
    }
    // A step between samples far beyond the usual one is a pause of the
    // recorder; the lines are broken there.
    gapSeconds_ = OverviewPauseSeconds(samples_);
    emit finished(wholeCard);
}

double COverviewScan::Progress() const {
    if (!scanning_ || !job_) return 0.0;
    const std::size_t total = job_->total.load();
    return total == 0 ? 0.0 : static_cast<double>(job_->done.load()) / static_cast<double>(total);
}

QString COverviewScan::StateText() const {
    if (scanning_) return text::Tr(text::kOverviewReading).arg(static_cast<int>(Progress() * 100));
    return message_;
}

}  // namespace orvanta
