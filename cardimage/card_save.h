// Saving a card as a sparse image file that any command and either window can
// use as the card (--drive E=IMAGE): the information sector (the device
// record), the two presence test sectors and every sector of the ring from
// its base to its last sector, read in large sequential runs. Sectors that
// read as zeros (never written by the recorder) stay holes, so an image takes
// the space the recording takes.
//
// The image is written to IMAGE.part beside IMAGE and read back as it goes:
// each run is compared with what came from the card as soon as it is written,
// and a thread of its own computes the image's SHA-256 from what reads back
// while the copy goes on and the image is flushed to the disk. Only then is it
// renamed to IMAGE; IMAGE.sha256 then holds the digest in the format
// "sha256sum -c" reads. A card pulled during the copy, a cancel, a failed
// write or a failed check leave no IMAGE (and no IMAGE.part).
//
// A window calls it off the UI thread:
//   CardScanSource source(reader);            // on the UI thread
//   CardSaveOptions options;
//   options.progress = [&](done, total) { post done/total to the window };
//   options.cancel = [&] { return cancelFlag.load(); };
//   CardSaveResult r = SaveCardImage(source, path, options);  // worker
//   r.status == CardSaveStatus::kSaved, else r.message says why.
// The volume system in `source` must outlive the call.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "card/card_scan_source.h"

namespace orvanta {
namespace cardimage {

struct CardSaveOptions {
    bool force = false;  // replace an existing IMAGE
    // After each run read: the card's sectors copied so far and in all.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    // Asked before each run read; true stops the copy (no IMAGE is left).
    std::function<bool()> cancel;
    // Sectors a run read asks for (1 MiB).
    std::uint32_t sectorsPerRead = 2048;
};

enum class CardSaveStatus {
    kSaved,
    kImageExists,  // IMAGE exists and force was not given
    kNoDevice,     // the card's device does not open
    kCardGone,     // the card stopped answering during the copy
    kCancelled,
    kWriteFailed,  // the image could not be written or renamed
    kCheckFailed,  // the image read back differs from what was copied
};

struct CardSaveResult {
    CardSaveStatus status = CardSaveStatus::kNoDevice;
    std::string message;                // why it failed, for people
    std::uint64_t sectorsCopied = 0;    // read from the card
    std::uint64_t sectorsWritten = 0;   // not holes
    std::uint64_t imageSectors = 0;     // size of the image
    std::string sha256;                 // of the whole image (kSaved)
    std::uint32_t ringFirst = 0;        // the ring copied (ringSectors 0: none)
    std::uint32_t ringSectors = 0;
};

// The image path's digest file: IMAGE + ".sha256".
std::string DigestPathOf(const std::string& imagePath);

CardSaveResult SaveCardImage(const CardScanSource& source, const std::string& imagePath,
                             const CardSaveOptions& options);

}  // namespace cardimage
}  // namespace orvanta
