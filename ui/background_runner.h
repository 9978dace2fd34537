// CBackgroundRunner: runs one long card job at a time (a report of a range,
// a card image's copy) on a worker thread, so the window stays usable. The
// job reports its progress and reads its cancel flag through Progress; what
// it returns is a closure that delivers its result, called on the
// user-interface thread unless the job was stopped or replaced meanwhile.
// While a job runs longer than a moment, a progress dialog over the window
// shows how far it is and can cancel it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include <QObject>
#include <QString>

class QProgressDialog;
class QThread;
class QTimer;
class QWidget;

namespace orvanta {

class CBackgroundRunner : public QObject {
    Q_OBJECT

public:
    struct Progress {
        std::atomic<bool> cancel{false};
        std::atomic<std::uint64_t> done{0};
        std::atomic<std::uint64_t> total{0};
    };
    // Runs on the worker; returns what to do with its result on the
    // user-interface thread.
    using Job = std::function<std::function<void()>(Progress& progress)>;

    // `window` parents the runner and its progress dialog.
    explicit CBackgroundRunner(QWidget* window);
    ~CBackgroundRunner() override;

    // Starts `job`, with `label` in the progress dialog; a running one is
    // stopped and its result dropped first.
    void Start(Job job, const QString& label);
    // Asks the running job to stop; its result still arrives.
    void Cancel();
    // Stops the running job and waits for its worker; its result is dropped.
    void Stop();

    bool IsRunning() const { return worker_ != nullptr; }
    // Percent of the running job done.
    int Percent() const;

private:
    void OnDone(std::uint64_t generation, const std::function<void()>& deliver);
    void Join();

    std::shared_ptr<Progress> progress_;
    QThread* worker_ = nullptr;
    QProgressDialog* dialog_ = nullptr;
    QTimer* dialogTimer_ = nullptr;
    std::uint64_t generation_ = 0;
};

}  // namespace orvanta
