// A raw volume system that wraps any other (the in-memory fake, the real
// POSIX or Win32 volumes over an image file) and, as SQLite's test VFS does,
// counts every operation done through it, fails the operations its plan
// names and counts the faults it fired. Tests, fuzz targets and benchmarks
// use it; the wrapped system knows nothing of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/raw_volume.h"

namespace orvanta {

// Counts of the operations done through the wrapper (since ResetCounters).
struct VolumeCounters {
    std::uint64_t opens = 0;        // successful and failed attempts
    std::uint64_t failedOpens = 0;
    std::uint64_t positions = 0;
    std::uint64_t reads = 0;
    std::uint64_t largeReads = 0;   // reads of more than one sector
    std::uint64_t closes = 0;
    std::uint64_t bytesRead = 0;    // bytes delivered
    std::uint64_t faultsFired = 0;  // operations the plan failed or shortened
    std::uint64_t Total() const { return opens + positions + reads + closes; }
};

// Which operations fail. A value k > 0 fails the k-th operation of that kind
// counted from the last ResetCounters(); `always...` fails every one; opens
// numbered in [vanishFrom, vanishUntil) fail as a device pulled and put back
// would. `shortReadBytes` >= 0 makes the `shortReadAt`-th read (every read
// when shortReadAt is 0) deliver at most that many bytes.
struct FaultPlan {
    std::uint64_t failOpenAt = 0;
    std::uint64_t failPositionAt = 0;
    std::uint64_t failReadAt = 0;
    bool alwaysFailOpen = false;
    bool alwaysFailPosition = false;
    bool alwaysFailRead = false;
    std::uint64_t vanishFrom = 0;   // 0: never
    std::uint64_t vanishUntil = 0;  // exclusive
    std::uint64_t shortReadAt = 0;
    long long shortReadBytes = -1;
    // What a failed open reports, and what a failed positioning or read
    // reports (an I/O error of the platform's kind by default).
    VolumeStatus openFailure{VolumeCause::kNotFound, 0};
    VolumeStatus ioFailure{VolumeCause::kIoError, 5};
};

// One operation as the wrapper saw it.
struct VolumeEvent {
    enum Kind { kOpen, kPosition, kRead } kind = kOpen;
    VolumeStatus status;          // what the caller got
    bool injected = false;        // the plan made it fail or come short
    std::uint64_t offset = 0;     // position: asked for; read: where it started
    std::uint64_t requested = 0;  // read: bytes asked for
    std::uint64_t delivered = 0;  // read: bytes delivered
    bool Ok() const { return status.Ok() || status.cause == VolumeCause::kShortRead; }
};

class FaultVolumeSystem : public RawVolumeSystem {
public:
    // Wraps `inner`, which must outlive the wrapper and its volumes.
    explicit FaultVolumeSystem(RawVolumeSystem& inner) : inner_(&inner) {}
    // Wraps and owns `inner`.
    explicit FaultVolumeSystem(std::unique_ptr<RawVolumeSystem> inner)
        : owned_(std::move(inner)), inner_(owned_.get()) {}

    VolumeOpen Open(const char* devicePath) override;

    FaultPlan faults;
    VolumeCounters counters;
    // Opens per device path, failed ones included.
    std::map<std::string, std::uint64_t> opensByPath;
    // Every operation is appended here while it is set.
    std::vector<VolumeEvent>* log = nullptr;

    void ResetCounters() {
        counters = VolumeCounters();
        opensByPath.clear();
    }

private:
    friend class FaultVolume;
    void Note(const VolumeEvent& event) {
        if (event.injected) ++counters.faultsFired;
        if (log != nullptr) log->push_back(event);
    }

    std::unique_ptr<RawVolumeSystem> owned_;
    RawVolumeSystem* inner_;
};

}  // namespace orvanta
