#include "cardimage/card_save.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "card/card_layout.h"
#include "card/held_card_volume.h"
#include "card/ring_range.h"
#include "cardimage/image_follower.h"
#include "cardimage/image_read_file.h"
#include "cardimage/sparse_image.h"
#include "platform/volume_error.h"

namespace orvanta {
namespace cardimage {
namespace {

struct SectorRun {
    std::uint32_t first;
    std::uint64_t count;
};

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// The runs of sectors an image holds, ascending and without overlaps.
std::vector<SectorRun> RunsToCopy(std::uint32_t baseSector, const RingRange& located) {
    std::vector<SectorRun> runs = {{kInfoSector, 1}, {baseSector + 1000, 2}};
    if (located.outcome == RangeOutcome::kFound || located.outcome == RangeOutcome::kEmpty) {
        runs.push_back({located.ring.baseSector, located.ring.ringCount});
    }
    std::sort(runs.begin(), runs.end(), [](const SectorRun& a, const SectorRun& b) { return a.first < b.first; });
    std::vector<SectorRun> merged;
    for (const SectorRun& run : runs) {
        if (!merged.empty() && run.first <= merged.back().first + merged.back().count) {
            SectorRun& last = merged.back();
            last.count = std::max(last.count, run.first + run.count - last.first);
        } else {
            merged.push_back(run);
        }
    }
    return merged;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    std::remove(to.c_str());  // rename does not replace on Windows
#endif
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "DIGEST  NAME\n" beside the image, written whole or not at all.
bool WriteDigestFile(const std::string& imagePath, const std::string& digest, std::string* error) {
    const std::string target = DigestPathOf(imagePath);
    const std::string part = target + ".part";
    const std::string line = digest + "  " + BaseName(imagePath) + "\n";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    bool ok = file != nullptr && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    if (file != nullptr) ok = std::fclose(file) == 0 && ok;
    ok = ok && ReplaceFile(part, target);
    if (!ok) {
        std::remove(part.c_str());
        *error = "cannot write \"" + target + "\"";
    }
    return ok;
}

// Copies the runs from the open card volume into the image: the sectors that
// are not all zeros are written straight from the read buffer, every run read
// is read back from the image at once and compared with what came from the
// card (holes included), and the follower hears how far the image is done.
class CRunCopy {
public:
    CRunCopy(RawVolume& volume, const CardScanSource& source, const CardSaveOptions& options, std::uint64_t total,
             CSparseImageWriter& writer, CImageReadFile& readBack, CImageFollower& follower)
        : volume_(volume), source_(source), options_(options), total_(total), writer_(writer),
          readBack_(readBack), follower_(follower) {}

    void Copy(const std::vector<SectorRun>& runs, CardSaveResult* result) {
        const std::uint32_t perRead = std::max<std::uint32_t>(1, options_.sectorsPerRead);
        std::vector<unsigned char> buffer(static_cast<std::size_t>(perRead) * kSectorSize);
        std::vector<unsigned char> check(buffer.size());
        for (const SectorRun& run : runs) {
            for (std::uint64_t done = 0; done < run.count;) {
                if (options_.cancel && options_.cancel()) {
                    Stop(CardSaveStatus::kCancelled, "cancelled");
                    return;
                }
                const std::uint64_t sector = run.first + done;
                const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(perRead, run.count - done));
                const std::size_t bytes = static_cast<std::size_t>(count) * kSectorSize;
                const VolumeRead read = volume_.ReadAt(sector * kSectorSize, buffer.data(), bytes);
                if (read.Failed() || (!read.status.Ok() && read.status.cause != VolumeCause::kShortRead)) {
                    Stop(CardSaveStatus::kCardGone, "the card stopped answering at sector " + std::to_string(sector) +
                                                        ": " +
                                                        VolumeCauseText(read.status, source_.devicePath,
                                                                        TextLanguage::kEnglish));
                    return;
                }
                result->sectorsWritten += WriteNonZero(static_cast<std::uint32_t>(sector), buffer.data(), count);
                if (!writer_.Flush()) {
                    Stop(CardSaveStatus::kWriteFailed, writer_.WriteError());
                    return;
                }
                if (!readBack_.ReadAt(check.data(), bytes, sector * kSectorSize)) {
                    Stop(CardSaveStatus::kWriteFailed,
                         "cannot read the image back at sector " + std::to_string(sector));
                    return;
                }
                if (std::memcmp(check.data(), buffer.data(), bytes) != 0) {
                    Stop(CardSaveStatus::kCheckFailed, "the image reads back differently from what was copied from "
                                                       "the card at sector " + std::to_string(sector));
                    return;
                }
                follower_.Written((sector + count) * kSectorSize);
                writer_.StartWriteback();
                done += count;
                result->sectorsCopied += count;
                if (options_.progress) options_.progress(result->sectorsCopied, total_);
            }
        }
    }

    void Stop(CardSaveStatus status, std::string message) {
        stopped_ = true;
        status_ = status;
        message_ = std::move(message);
    }
    bool Stopped() const { return stopped_; }
    CardSaveStatus Status() const { return status_; }
    const std::string& Message() const { return message_; }

private:
    // Writes the runs of sectors that are not all zeros (the rest stay holes);
    // the number written.
    std::uint32_t WriteNonZero(std::uint32_t first, const unsigned char* bytes, std::uint32_t count) {
        std::uint32_t written = 0;
        for (std::uint32_t i = 0; i < count;) {
            std::uint32_t end = i;
            while (end < count && !AllZero(bytes + static_cast<std::size_t>(end) * kSectorSize, kSectorSize)) ++end;
            if (end == i) {
                ++i;
                continue;
            }
            writer_.AddRun(first + i, bytes + static_cast<std::size_t>(i) * kSectorSize, end - i);
            written += end - i;
            i = end;
        }
        return written;
    }

    RawVolume& volume_;
    const CardScanSource& source_;
    const CardSaveOptions& options_;
    std::uint64_t total_;
    CSparseImageWriter& writer_;
    CImageReadFile& readBack_;
    CImageFollower& follower_;
    bool stopped_ = false;
    CardSaveStatus status_ = CardSaveStatus::kSaved;
    std::string message_;
};

CardSaveResult Failed(CardSaveResult result, CardSaveStatus status, const std::string& message) {
    result.status = status;
    result.message = message;
    return result;
}

}  // namespace

std::string DigestPathOf(const std::string& imagePath) { return imagePath + ".sha256"; }

CardSaveResult SaveCardImage(const CardScanSource& source, const std::string& imagePath,
                             const CardSaveOptions& options) {
    CardSaveResult result;
    if (!options.force && Exists(imagePath)) {
        return Failed(result, CardSaveStatus::kImageExists, "\"" + imagePath + "\" exists (--force replaces it)");
    }
    // One open of the card at a time: Windows opens a raw volume for one
    // reader only (no FILE_SHARE_READ), so a second open while the first is
    // held fails and the ring would not be found.
    {
        const VolumeOpen probe = source.volumes->Open(source.devicePath.c_str());
        if (!probe) {
            return Failed(result, CardSaveStatus::kNoDevice,
                          VolumeCauseText(probe.status, source.devicePath, TextLanguage::kEnglish));
        }
    }
    RingRange located;
    {
        CHeldCardVolume held(*source.volumes, source.devicePath.c_str());
        located = LocateRange(held, source.baseSector, TimeRange{});
        if (located.outcome == RangeOutcome::kCardGone || held.Gone()) {
            return Failed(result, CardSaveStatus::kCardGone, "the card stopped answering while its ring was found");
        }
    }
    VolumeOpen open = source.volumes->Open(source.devicePath.c_str());
    if (!open) {
        return Failed(result, CardSaveStatus::kCardGone,
                      "the card stopped answering after its ring was found: " +
                          VolumeCauseText(open.status, source.devicePath, TextLanguage::kEnglish));
    }
    const std::vector<SectorRun> runs = RunsToCopy(source.baseSector, located);
    std::uint64_t total = 0;
    for (const SectorRun& run : runs) total += run.count;
    if (located.outcome == RangeOutcome::kFound || located.outcome == RangeOutcome::kEmpty) {
        result.ringFirst = located.ring.baseSector;
        result.ringSectors = located.ring.ringCount;
    }
    result.imageSectors = runs.back().first + runs.back().count;

    const std::string part = imagePath + ".part";
    const std::uint64_t imageBytes = result.imageSectors * kSectorSize;
    std::string error;
    CSparseImageWriter writer;
    if (!writer.Open(part, result.imageSectors, &error)) return Failed(result, CardSaveStatus::kWriteFailed, error);
    CImageReadFile readBack(part);
    if (!readBack.Opened()) {
        error = "cannot read back \"" + part + "\": " + std::strerror(errno);
        writer.Close(nullptr);
        std::remove(part.c_str());
        return Failed(result, CardSaveStatus::kWriteFailed, error);
    }
    std::vector<ByteRange> copied;
    for (const SectorRun& run : runs) {
        copied.push_back({std::uint64_t{run.first} * kSectorSize, (run.first + run.count) * kSectorSize});
    }
    CImageFollower follower(part, imageBytes, std::move(copied));
    CRunCopy copy(*open.volume, source, options, total, writer, readBack, follower);
    copy.Copy(runs, &result);
    open.volume.reset();  // the card is closed before the image is finished
    // Every descriptor of the image is closed before it is removed or renamed
    // (Windows refuses both while one is open).
    const auto giveUp = [&](CardSaveStatus status, const std::string& message) {
        follower.Abandon();
        readBack.Close();
        writer.Close(nullptr);
        std::remove(part.c_str());
        return Failed(result, status, message);
    };
    if (copy.Stopped()) return giveUp(copy.Status(), copy.Message());
    // Flushed to the disk while the follower hashes what is still behind.
    if (!writer.Sync(&error) || !writer.Close(&error)) return giveUp(CardSaveStatus::kWriteFailed, error);
    readBack.Close();
    const CImageFollower::Outcome hashed = follower.Finish();
    if (!hashed.ok) {
        return giveUp(hashed.differs ? CardSaveStatus::kCheckFailed : CardSaveStatus::kWriteFailed, hashed.error);
    }
    const std::string digest = hashed.sha256;
    if (!ReplaceFile(part, imagePath)) {
        const std::string why = std::strerror(errno);
        std::remove(part.c_str());
        return Failed(result, CardSaveStatus::kWriteFailed, "cannot rename \"" + part + "\" to \"" + imagePath +
                                                                "\": " + why);
    }
    if (!WriteDigestFile(imagePath, digest, &error)) return Failed(result, CardSaveStatus::kWriteFailed, error);
    result.sha256 = digest;
    result.status = CardSaveStatus::kSaved;
    return result;
}

}  // namespace cardimage
}  // namespace orvanta
