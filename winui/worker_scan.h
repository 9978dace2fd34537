// CWorkerScan: a scan of the card read on a worker thread for a window (the
// overview strip's CardOverview, the events list's CEventScan). The worker
// has its own copy of the scan, which opens the card's volume itself; it
// posts its progress and its end to the window, and a new scan or a cancel
// makes whatever an older one still posts stale.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "card/card_reader.h"

namespace orvanta {

// Posted to the target window: wParam the scan's generation; for progress
// lParam the percent done.
constexpr UINT kScanProgressMessage = WM_APP + 1;
constexpr UINT kScanDoneMessage = WM_APP + 2;

// `Scanner` is built from a CCardReader and has SetProgressHook(done,
// total), SetCancelHook() and `Result Scan(const Request&) const`. Two works
// of one window post under messages of their own.
template <class Scanner, class Request, class Result>
class CWorkerScan {
public:
    explicit CWorkerScan(HWND target, UINT progressMessage = kScanProgressMessage, UINT doneMessage = kScanDoneMessage)
        : target_(target), progressMessage_(progressMessage), doneMessage_(doneMessage) {}
    ~CWorkerScan() { Cancel(); }
    CWorkerScan(const CWorkerScan&) = delete;
    CWorkerScan& operator=(const CWorkerScan&) = delete;

    // The card of `reader` (what the scanner needs is copied).
    void SetCard(const CCardReader& reader) {
        Cancel();
        scanner_ = std::make_unique<Scanner>(reader);
    }
    void ForgetCard() {
        Cancel();
        scanner_.reset();
    }
    bool HasCard() const { return scanner_ != nullptr; }
    // Lets `setup` set the scanner up further (a hook) before scans copy it.
    template <class Setup>
    void Configure(Setup setup) {
        if (scanner_) setup(*scanner_);
    }

    // Starts scanning `request`; a running scan is cancelled first.
    void Start(const Request& request) {
        if (!scanner_) return;
        Cancel();
        const WPARAM generation = ++generation_;
        auto cancel = std::make_shared<std::atomic<bool>>(false);
        cancel_ = cancel;
        Scanner scanner = *scanner_;  // the worker's own copy
        const HWND target = target_;
        const UINT progressMessage = progressMessage_, doneMessage = doneMessage_;
        auto percent = std::make_shared<int>(-1);
        scanner.SetProgressHook([target, progressMessage, generation, percent](auto done, auto total) {
            const int now = total == 0 ? 0 : static_cast<int>(done * 100 / total);
            if (now == *percent) return;
            *percent = now;
            ::PostMessageW(target, progressMessage, generation, now);
        });
        scanner.SetCancelHook([cancel] { return cancel->load(); });
        scanning_ = true;
        worker_ = std::thread([this, scanner, request, target, doneMessage, generation] {
            auto result = std::make_unique<Result>(scanner.Scan(request));
            {
                const std::lock_guard<std::mutex> guard(lock_);
                result_ = std::move(result);
            }
            ::PostMessageW(target, doneMessage, generation, 0);
        });
    }
    // Stops a running scan and waits for it; its result is dropped.
    void Cancel() {
        if (cancel_) cancel_->store(true);
        ++generation_;  // whatever the worker still posts is stale
        Join();
        scanning_ = false;
        const std::lock_guard<std::mutex> guard(lock_);
        result_.reset();
    }
    // Asks a running scan to stop; its result (what it found so far) still
    // comes with its done message.
    void Stop() {
        if (cancel_) cancel_->store(true);
    }
    bool IsScanning() const { return scanning_; }
    // Whether a posted message is of the running scan.
    bool IsCurrent(WPARAM generation) const { return generation == generation_; }
    // The result of the current scan after its done message (the worker is
    // joined); null for a stale message.
    std::unique_ptr<Result> TakeResult(WPARAM generation) {
        if (generation != generation_) return nullptr;
        Join();
        scanning_ = false;
        const std::lock_guard<std::mutex> guard(lock_);
        return std::move(result_);
    }

private:
    void Join() {
        if (worker_.joinable()) worker_.join();
    }

    HWND target_;
    UINT progressMessage_;
    UINT doneMessage_;
    std::unique_ptr<Scanner> scanner_;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::mutex lock_;
    std::unique_ptr<Result> result_;  // guarded by lock_
    WPARAM generation_ = 0;
    bool scanning_ = false;
};

}  // namespace orvanta
