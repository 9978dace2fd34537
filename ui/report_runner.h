// CReportRunner: makes one power-quality report of a card's time range at a
// time on a worker thread (analysis::CRangeReport, which opens the card's
// volume itself), so the window stays usable while a week of records is
// read; progress is read from the worker as it goes, a report can be
// cancelled, and the result comes back on the user-interface thread as the
// `finished` signal.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <QObject>

#include "analysis/range_report.h"

class QThread;

namespace orvanta {

class CReportRunner : public QObject {
    Q_OBJECT

public:
    explicit CReportRunner(QObject* parent = nullptr);
    ~CReportRunner() override;

    // Starts the report of `range` on `reader`'s card; `reader` must stay
    // in place until `finished` arrives or Stop returns. A running report is
    // stopped and its result dropped first.
    void Start(const CCardReader& reader, const analysis::ReportSettings& settings, const TimeRange& range);
    // Asks a running report to stop; its result (status kCancelled) still
    // arrives through `finished`.
    void Cancel();
    // Stops a running report and waits for its worker; its result is dropped.
    void Stop();

    bool IsRunning() const { return worker_ != nullptr; }
    // Percent of the range's sectors read by the running report.
    int Percent() const;

signals:
    void finished(const orvanta::analysis::RangeReport& report);

private:
    struct Job {
        std::atomic<bool> cancel{false};
        std::atomic<std::uint64_t> done{0};
        std::atomic<std::uint64_t> total{0};
    };

    void OnDone(std::uint64_t generation, const analysis::RangeReport& report);
    void Join();

    std::shared_ptr<Job> job_;
    QThread* worker_ = nullptr;
    std::uint64_t generation_ = 0;
};

}  // namespace orvanta
