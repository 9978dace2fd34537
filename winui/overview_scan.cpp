#include "winui/overview_scan.h"

namespace orvanta {

COverviewScan::~COverviewScan() { Cancel(); }

void COverviewScan::SetCard(const CCardReader& reader) {
    Cancel();
    overview_ = std::make_unique<CardOverview>(reader);
}

void COverviewScan::ForgetCard() {
    Cancel();
    overview_.reset();
}

void COverviewScan::Join() {
    if (worker_.joinable()) worker_.join();
}

void COverviewScan::Start(const OverviewRequest& request) {
    if (!overview_) return;
    Cancel();
    const WPARAM generation = ++generation_;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    cancel_ = cancel;
    CardOverview overview = *overview_;  // the worker's own copy
    const HWND target = target_;
    auto percent = std::make_shared<int>(-1);
    overview.SetProgressHook([target, generation, percent](std::size_t done, std::size_t total) {
        const int now = total == 0 ? 0 : static_cast<int>(done * 100 / total);
        if (now == *percent) return;
        *percent = now;
        ::PostMessageW(target, kScanProgressMessage, generation, now);
    });
    overview.SetCancelHook([cancel] { return cancel->load(); });
    scanning_ = true;
    worker_ = std::thread([this, overview, request, target, generation] {
        auto result = std::make_unique<OverviewResult>(overview.Scan(request));
        {
            const std::lock_guard<std::mutex> guard(lock_);
            result_ = std::move(result);
        }
        ::PostMessageW(target, kScanDoneMessage, generation, 0);
    });
}

void COverviewScan::Cancel() {
    if (cancel_) cancel_->store(true);
    ++generation_;  // whatever the worker still posts is stale
    Join();
    scanning_ = false;
    const std::lock_guard<std::mutex> guard(lock_);
    result_.reset();
}

std::unique_ptr<OverviewResult> COverviewScan::TakeResult(WPARAM generation) {
    if (generation != generation_) return nullptr;
    Join();
    scanning_ = false;
    const std::lock_guard<std::mutex> guard(lock_);
    return std::move(result_);
}

}  // namespace orvanta
