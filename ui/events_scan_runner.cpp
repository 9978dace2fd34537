#include "ui/events_scan_runner.h"

#include <QThread>

namespace orvanta {

CEventsScanRunner::CEventsScanRunner(QObject* parent) : QObject(parent) {}

CEventsScanRunner::~CEventsScanRunner() {
    ++generation_;
    Stop();
}

void CEventsScanRunner::Stop() {
    if (worker_ == nullptr) return;
    job_->cancel = true;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void CEventsScanRunner::Start(CEventScan scan, const EventScanRequest& request) {
    ++generation_;  // whatever a running scan still reports is dropped
    Stop();
    auto job = std::make_shared<Job>();
    job_ = job;
    scan.SetProgressHook([job](std::uint64_t done, std::uint64_t total) {
        job->done = done;
        job->total = total;
    });
    scan.SetCancelHook([job] { return job->cancel.load(); });
    const std::uint64_t generation = generation_;
    CEventsScanRunner* runner = this;
    // The runner waits for its worker before it goes, so `runner` outlives it.
    worker_ = QThread::create([scan, request, runner, generation]() {
        const EventScanResult result = scan.Scan(request);
        QMetaObject::invokeMethod(
            runner, [runner, generation, result] { runner->OnDone(generation, result); }, Qt::QueuedConnection);
    });
    worker_->start();
}

void CEventsScanRunner::Cancel() {
    if (job_) job_->cancel = true;
}

int CEventsScanRunner::Percent() const {
    if (!job_ || job_->total == 0) return 0;
    return static_cast<int>(job_->done * 100 / job_->total);
}

void CEventsScanRunner::OnDone(std::uint64_t generation, const EventScanResult& result) {
    if (generation != generation_) return;
    Stop();
    emit finished(result);
}

}  // namespace orvanta
