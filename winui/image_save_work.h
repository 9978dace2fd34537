// CImageSaveWork: 保存存储卡映像… of the Windows window, on a worker thread:
// the card copied into a sparse image file (cardimage/card_save.h: a
// temporary file beside it, read back against its SHA-256, renamed when
// complete, IMAGE.sha256 beside it). Progress and end are posted to the main
// window as kImageSaveProgressMessage and kImageSaveDoneMessage; a cancel
// leaves no image.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "card/card_scan_source.h"
#include "cardimage/card_save.h"
#include "winui/worker_scan.h"

namespace orvanta {

constexpr UINT kImageSaveProgressMessage = WM_APP + 3;
constexpr UINT kImageSaveDoneMessage = WM_APP + 4;

// The worker's copier: what it needs of the reader is copied, and it opens
// the card's volume itself. The system lets one reader open a raw volume at
// a time: the window runs no query while it copies.
class CImageSaver {
public:
    explicit CImageSaver(const CCardReader& reader) : source_(reader) {}

    void SetProgressHook(std::function<void(std::uint64_t, std::uint64_t)> hook) { progress_ = std::move(hook); }
    void SetCancelHook(std::function<bool()> hook) { cancel_ = std::move(hook); }

    // `path` in the system's ANSI code page, as the C library opens it. The
    // save dialog asked before an existing file is replaced.
    cardimage::CardSaveResult Scan(const std::string& path) const {
        cardimage::CardSaveOptions options;
        options.force = true;
        options.progress = progress_;
        options.cancel = cancel_;
        return cardimage::SaveCardImage(source_, path, options);
    }

private:
    CardScanSource source_;
    std::function<void(std::uint64_t, std::uint64_t)> progress_;
    std::function<bool()> cancel_;
};

using CImageSaveWork = CWorkerScan<CImageSaver, std::string, cardimage::CardSaveResult>;

}  // namespace orvanta
