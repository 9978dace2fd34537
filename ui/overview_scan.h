// COverviewScan: runs the card overview for the strip off the user-interface
// thread. It owns a copy of the card's CardOverview and at most one worker
// thread with its own open of the card's volume; a new scan or a cancel
// drops whatever an older one still reports. The samples, the card's oldest
// and newest record and a message for people are kept until the next scan.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "card/card_overview.h"

class QThread;
class QTimer;

namespace orvanta {

class COverviewScan : public QObject {
    Q_OBJECT

public:
    explicit COverviewScan(QObject* parent = nullptr);
    ~COverviewScan() override;

    // The card of `reader` (device, ring base, zero levels and ratios are
    // copied); scans it from the oldest record to the newest.
    void StartScan(const CCardReader& reader);
    // Forgets the card: the strip says that there is none, or `cause` when
    // a drive told why it could not be read (the status line's text).
    void ShowNoCard(const QString& cause = QString());
    // Scans `request` of the current card; a running scan is cancelled first.
    void Scan(const OverviewRequest& request);
    // Stops a running scan; what it read so far is dropped.
    void Cancel();

    bool HasCard() const { return overview_ != nullptr; }
    bool IsScanning() const { return scanning_; }
    const std::vector<OverviewSample>& Samples() const { return samples_; }
    std::int32_t CardOldest() const { return cardOldest_; }
    std::int32_t CardNewest() const { return cardNewest_; }
    // A step between neighbouring samples longer than this is a pause.
    std::int32_t GapSeconds() const { return gapSeconds_; }
    // Share of the running scan done, 0 to 1.
    double Progress() const;
    // The progress while scanning, else what ended the last scan (or "").
    QString StateText() const;

signals:
    // Progress of a running scan (a few times a second).
    void progressed();
    // A scan ended (done, cancelled, failed); the samples are in place.
    // `wholeCard`: it covered the whole card, so the card's bounds are new.
    void finished(bool wholeCard);

private:
    struct Job;

    void OnScanDone(std::uint64_t generation, bool wholeCard, const OverviewResult& result);
    void WaitForWorker();

    std::unique_ptr<CardOverview> overview_;  // the card to scan; null without a card
    std::shared_ptr<Job> job_;
    QThread* worker_ = nullptr;
    std::uint64_t generation_ = 0;
    bool scanning_ = false;
    QTimer* progressTimer_ = nullptr;

    std::vector<OverviewSample> samples_;
    std::int32_t gapSeconds_ = 2;
    std::int32_t cardOldest_ = 0;
    std::int32_t cardNewest_ = 0;
    QString message_;
};

}  // namespace orvanta
