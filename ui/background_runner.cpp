#include "ui/background_runner.h"

#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "ui/analysis_strings.h"
#include "ui/ui_strings.h"

namespace orvanta {

namespace {

// A day's report takes about a tenth of a second: a job that short shows no dialog.
constexpr int kDialogDelayMs = 400;

}  // namespace

CBackgroundRunner::CBackgroundRunner(QWidget* window) : QObject(window) {
    dialog_ = new QProgressDialog(QString(), text::Tr(text::kReportCancel), 0, 100, window);
    dialog_->setObjectName(QStringLiteral("jobProgress"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(kDialogDelayMs);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->reset();  // a new QProgressDialog would show itself after its minimum duration
    connect(dialog_, &QProgressDialog::canceled, this, &CBackgroundRunner::Cancel);
    dialogTimer_ = new QTimer(this);
    dialogTimer_->setInterval(100);
    connect(dialogTimer_, &QTimer::timeout, this, [this] { dialog_->setValue(Percent()); });
}

CBackgroundRunner::~CBackgroundRunner() { Stop(); }

void CBackgroundRunner::Join() {
    if (worker_ == nullptr) return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void CBackgroundRunner::Stop() {
    ++generation_;  // whatever the worker still reports is dropped
    if (progress_) progress_->cancel = true;
    Join();
    dialogTimer_->stop();
    dialog_->reset();
}

void CBackgroundRunner::Start(Job job, const QString& label) {
    Stop();
    auto progress = std::make_shared<Progress>();
    progress_ = progress;
    const std::uint64_t generation = generation_;
    CBackgroundRunner* runner = this;
    // The runner waits for its worker before it goes, so `runner` outlives it.
    worker_ = QThread::create([job = std::move(job), progress, runner, generation]() {
        std::function<void()> deliver = job(*progress);
        QMetaObject::invokeMethod(
            runner, [runner, generation, deliver] { runner->OnDone(generation, deliver); }, Qt::QueuedConnection);
    });
    worker_->start();
    dialog_->setLabelText(label);
    dialog_->setValue(0);  // shown once the job runs longer than the dialog's minimum duration
    dialogTimer_->start();
}

void CBackgroundRunner::Cancel() {
    if (progress_) progress_->cancel = true;
}

int CBackgroundRunner::Percent() const {
    if (!progress_ || progress_->total == 0) return 0;
    return static_cast<int>(progress_->done * 100 / progress_->total);
}

void CBackgroundRunner::OnDone(std::uint64_t generation, const std::function<void()>& deliver) {
    if (generation != generation_) return;
    Join();
    dialogTimer_->stop();
    dialog_->reset();
    if (deliver) deliver();
}

}  // namespace orvanta
