#include "ui/report_runner.h"

#include <QThread>

namespace orvanta {

CReportRunner::CReportRunner(QObject* parent) : QObject(parent) {}

CReportRunner::~CReportRunner() { Stop(); }

void CReportRunner::Join() {
    if (worker_ == nullptr) return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void CReportRunner::Stop() {
    ++generation_;  // whatever the worker still reports is dropped
    if (job_) job_->cancel = true;
    Join();
}

void CReportRunner::Start(const CCardReader& reader, const analysis::ReportSettings& settings,
                          const TimeRange& range) {
    Stop();
    auto job = std::make_shared<Job>();
    job_ = job;
    const std::uint64_t generation = generation_;
    const CCardReader* card = &reader;
    CReportRunner* runner = this;
    // The runner waits for its worker before it goes, so `runner` outlives it.
    worker_ = QThread::create([card, settings, range, job, runner, generation]() {
        analysis::CRangeReport report(*card, settings);
        report.SetProgressHook([job](std::uint64_t done, std::uint64_t total) {
            job->done = done;
            job->total = total;
        });
        report.SetCancelHook([job] { return job->cancel.load(); });
        const analysis::RangeReport made = report.Make(range);
        QMetaObject::invokeMethod(
            runner, [runner, generation, made] { runner->OnDone(generation, made); }, Qt::QueuedConnection);
    });
    worker_->start();
}

void CReportRunner::Cancel() {
    if (job_) job_->cancel = true;
}

int CReportRunner::Percent() const {
    if (!job_ || job_->total == 0) return 0;
    return static_cast<int>(job_->done * 100 / job_->total);
}

void CReportRunner::OnDone(std::uint64_t generation, const analysis::RangeReport& report) {
    if (generation != generation_) return;
    Join();
    emit finished(report);
}

}  // namespace orvanta
