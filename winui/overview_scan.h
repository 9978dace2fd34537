// COverviewScan: the card overview of the Windows strip, read on a worker
// thread. The worker has its own open of the card's volume (CardOverview
// opens it); it posts its progress and its end to a window, and a new scan
// or a cancel makes whatever an older one still posts stale.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "card/card_overview.h"

namespace orvanta {

// Posted to the target window: wParam the scan's generation; for progress
// lParam the percent done.
constexpr UINT kScanProgressMessage = WM_APP + 1;
constexpr UINT kScanDoneMessage = WM_APP + 2;

class COverviewScan {
public:
    explicit COverviewScan(HWND target) : target_(target) {}
    ~COverviewScan();
    COverviewScan(const COverviewScan&) = delete;
    COverviewScan& operator=(const COverviewScan&) = delete;

    // The card of `reader` (device, ring base, zero level and ratios copied).
    void SetCard(const CCardReader& reader);
    void ForgetCard();
    bool HasCard() const { return overview_ != nullptr; }

    // Starts scanning `request`; a running scan is cancelled first.
    void Start(const OverviewRequest& request);
    // Stops a running scan and waits for it; its result is dropped.
    void Cancel();
    bool IsScanning() const { return scanning_; }
    // Whether a posted message is of the running scan.
    bool IsCurrent(WPARAM generation) const { return generation == generation_; }
    // The result of the current scan after its done message (the worker
    // is joined); null for a stale message.
    std::unique_ptr<OverviewResult> TakeResult(WPARAM generation);

private:
    void Join();

    HWND target_;
    std::unique_ptr<CardOverview> overview_;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::mutex lock_;
    std::unique_ptr<OverviewResult> result_;  // guarded by lock_
    WPARAM generation_ = 0;
    bool scanning_ = false;
};

}  // namespace orvanta
