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
#include "cardimage/sha256.h"
#include "cardimage/sparse_image.h"
#include "platform/volume_error.h"

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

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

// Whether a sector is all zeros, eight bytes at a time (the compiler turns
// the fixed-length loop into vector code).
bool AllZero(const unsigned char* bytes) {
    std::uint64_t any = 0;
    for (std::size_t i = 0; i < kSectorSize; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        any |= word;
    }
    return any == 0;
}

// The SHA-256 of a file as it reads back, after flushing it to the disk.
bool DigestOfFile(const std::string& path, std::string* digest, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot read back \"" + path + "\": " + std::strerror(errno);
        return false;
    }
#ifdef _WIN32
    _commit(_fileno(file));
#else
    ::fsync(::fileno(file));
#endif
    CSha256 sha;
    std::vector<unsigned char> block(1 << 20);
    std::size_t n = 0;
    while ((n = std::fread(block.data(), 1, block.size(), file)) > 0) sha.Update(block.data(), n);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (!ok) {
        *error = "cannot read back \"" + path + "\"";
        return false;
    }
    *digest = sha.HexDigest();
    return true;
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

// Copies the runs from the open card volume into the sink, hashing the image
// as it will read back (the gaps between runs as zeros).
class CRunCopy {
public:
    CRunCopy(RawVolume& volume, const CardScanSource& source, const CardSaveOptions& options, std::uint64_t total)
        : volume_(volume), source_(source), options_(options), total_(total) {}

    void Copy(const std::vector<SectorRun>& runs, const SectorSink& emit, CardSaveResult* result) {
        const std::uint32_t perRead = std::max<std::uint32_t>(1, options_.sectorsPerRead);
        std::vector<unsigned char> buffer(static_cast<std::size_t>(perRead) * kSectorSize);
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
                sha_.UpdateZeros(sector * kSectorSize - hashed_);
                sha_.Update(buffer.data(), bytes);
                hashed_ = (sector + count) * kSectorSize;
                for (std::uint32_t i = 0; i < count; ++i) {
                    const unsigned char* bytesOf = buffer.data() + static_cast<std::size_t>(i) * kSectorSize;
                    if (AllZero(bytesOf)) continue;  // never written: a hole
                    emit(static_cast<std::uint32_t>(sector + i), bytesOf);
                    ++result->sectorsWritten;
                }
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

    std::string Digest(std::uint64_t imageBytes) {
        sha_.UpdateZeros(imageBytes - hashed_);
        return sha_.HexDigest();
    }

private:
    RawVolume& volume_;
    const CardScanSource& source_;
    const CardSaveOptions& options_;
    std::uint64_t total_;
    CSha256 sha_;
    std::uint64_t hashed_ = 0;
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
    CRunCopy copy(*open.volume, source, options, total);
    std::string error;
    const bool written = WriteSparseImage(part, result.imageSectors, [&](const SectorSink& emit) {
        copy.Copy(runs, emit, &result);
    }, &error);
    open.volume.reset();  // the card is closed before the image is checked
    if (copy.Stopped() || !written) {
        std::remove(part.c_str());
        return copy.Stopped() ? Failed(result, copy.Status(), copy.Message())
                              : Failed(result, CardSaveStatus::kWriteFailed, error);
    }
    const std::string copied = copy.Digest(result.imageSectors * kSectorSize);
    std::string readBack;
    if (!DigestOfFile(part, &readBack, &error)) {
        std::remove(part.c_str());
        return Failed(result, CardSaveStatus::kWriteFailed, error);
    }
    if (readBack != copied) {
        std::remove(part.c_str());
        return Failed(result, CardSaveStatus::kCheckFailed,
                      "\"" + part + "\" reads back differently from what was copied from the card");
    }
    if (!ReplaceFile(part, imagePath)) {
        const std::string why = std::strerror(errno);
        std::remove(part.c_str());
        return Failed(result, CardSaveStatus::kWriteFailed, "cannot rename \"" + part + "\" to \"" + imagePath +
                                                                "\": " + why);
    }
    if (!WriteDigestFile(imagePath, copied, &error)) return Failed(result, CardSaveStatus::kWriteFailed, error);
    result.sha256 = copied;
    result.status = CardSaveStatus::kSaved;
    return result;
}

}  // namespace cardimage
}  // namespace orvanta
