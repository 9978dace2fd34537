#include "platform/fault_volume.h"

#include <algorithm>

namespace orvanta {

namespace {

bool Hits(std::uint64_t at, bool always, std::uint64_t count) { return always || (at != 0 && count == at); }

}  // namespace

class FaultVolume : public RawVolume {
public:
    FaultVolume(std::unique_ptr<RawVolume> inner, FaultVolumeSystem& system)
        : inner_(std::move(inner)), system_(system) {}
    ~FaultVolume() override { ++system_.counters.closes; }

    VolumeStatus SetPosition(std::uint64_t byteOffset) override {
        VolumeCounters& c = system_.counters;
        const FaultPlan& f = system_.faults;
        ++c.positions;
        VolumeEvent event;
        event.kind = VolumeEvent::kPosition;
        event.offset = byteOffset;
        if (Hits(f.failPositionAt, f.alwaysFailPosition, c.positions)) {
            event.status = f.ioFailure;
            event.injected = true;
        } else {
            event.status = inner_->SetPosition(byteOffset);
            if (event.status.Ok()) position_ = byteOffset;
        }
        system_.Note(event);
        return event.status;
    }

protected:
    VolumeRead ReadSome(void* buffer, std::size_t count) override {
        VolumeCounters& c = system_.counters;
        const FaultPlan& f = system_.faults;
        ++c.reads;
        if (count > 512) ++c.largeReads;
        VolumeEvent event;
        event.kind = VolumeEvent::kRead;
        event.offset = position_;
        event.requested = count;
        VolumeRead result;
        if (Hits(f.failReadAt, f.alwaysFailRead, c.reads)) {
            result.status = f.ioFailure;
            event.injected = true;
        } else {
            std::size_t asked = count;
            if (f.shortReadBytes >= 0 && (f.shortReadAt == 0 || c.reads == f.shortReadAt)) {
                asked = std::min<std::size_t>(count, static_cast<std::size_t>(f.shortReadBytes));
                event.injected = asked < count;
            }
            result = inner_->Read(buffer, asked);
            // A read the plan shortened ends as the end of a device does.
            if (result.status.cause == VolumeCause::kShortRead || (event.injected && result.status.Ok())) {
                result.status = VolumeStatus();
            }
        }
        position_ += result.delivered;
        c.bytesRead += result.delivered;
        event.delivered = result.delivered;
        event.status = result.status;
        if (result.delivered < count && result.status.Ok()) event.status = VolumeStatus::Of(VolumeCause::kShortRead);
        system_.Note(event);
        return result;
    }

private:
    std::unique_ptr<RawVolume> inner_;
    FaultVolumeSystem& system_;
    std::uint64_t position_ = 0;
};

VolumeOpen FaultVolumeSystem::Open(const char* devicePath) {
    ++counters.opens;
    ++opensByPath[devicePath ? devicePath : ""];
    VolumeEvent event;
    event.kind = VolumeEvent::kOpen;
    const bool vanished = faults.vanishFrom != 0 && counters.opens >= faults.vanishFrom &&
                          counters.opens < faults.vanishUntil;
    VolumeOpen opened;
    if (vanished || Hits(faults.failOpenAt, faults.alwaysFailOpen, counters.opens)) {
        opened.status = faults.openFailure;
        event.injected = true;
    } else {
        opened = inner_->Open(devicePath);
    }
    event.status = opened.status;
    if (!opened) ++counters.failedOpens;
    Note(event);
    if (!opened) return opened;
    VolumeOpen wrapped;
    wrapped.volume = std::make_unique<FaultVolume>(std::move(opened.volume), *this);
    return wrapped;
}

}  // namespace orvanta
