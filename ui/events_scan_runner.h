// CEventsScanRunner: runs one CEventScan at a time on a worker thread with its
// own open of the card's volume, so the window stays usable; progress is read
// from the worker as it goes, a scan can be cancelled, and the result comes
// back on the user-interface thread as the `finished` signal.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <QObject>

#include "card/event_scan.h"

class QThread;

namespace orvanta {

class CEventsScanRunner : public QObject {
    Q_OBJECT

public:
    explicit CEventsScanRunner(QObject* parent = nullptr);
    ~CEventsScanRunner() override;

    // Starts `scan` (its hooks are replaced); a running scan is cancelled and
    // its result dropped first.
    void Start(CEventScan scan, const EventScanRequest& request);
    // Stops a running scan; its result (the events found so far) still
    // arrives through `finished`, with the status kCancelled.
    void Cancel();

    bool IsRunning() const { return worker_ != nullptr; }
    // Percent of the range's sectors read by the running scan.
    int Percent() const;

signals:
    void finished(const orvanta::EventScanResult& result);

private:
    struct Job {
        std::atomic<bool> cancel{false};
        std::atomic<std::uint64_t> done{0};
        std::atomic<std::uint64_t> total{0};
    };

    void OnDone(std::uint64_t generation, const EventScanResult& result);
    void Stop();

    std::shared_ptr<Job> job_;
    QThread* worker_ = nullptr;
    std::uint64_t generation_ = 0;
};

}  // namespace orvanta
