// The ring of records on the card, as operations of the card reader: each
// probe is a full open, position, read and close (ReadSector), and the
// searches themselves are CRingSearch's, shared with the card overview.
#include "card/card_reader.h"
#include "card/ring_search.h"
#include "card/timestamp_decoder.h"

namespace orvanta {

namespace {

// Every probe of a search is one ReadSector of the reader; the timestamps of
// one search are converted an hour at a time.
class ReaderProbe : public CRingProbe {
public:
    explicit ReaderProbe(CCardReader& reader) : reader_(reader) {}
    std::int32_t TimeAt(std::uint32_t sector) override { return reader_.ReadSector(sector, decoder_); }

private:
    CCardReader& reader_;
    CTimestampDecoder decoder_;
};

RingBounds RingOf(const CCardReader& reader) {
    RingBounds ring;
    ring.baseSector = reader.baseSector;
    ring.upperSector = reader.upperSector;
    ring.ringStart = reader.ringStart;
    ring.ringCount = reader.ringCount;
    return ring;
}

}  // namespace

std::uint32_t CCardReader::LogicalToPhysical(std::uint32_t index) const {
    return RingOf(*this).LogicalToPhysical(index);
}

std::uint32_t CCardReader::PhysicalToLogical(std::uint32_t sector) const {
    return RingOf(*this).PhysicalToLogical(sector);
}

std::uint32_t CCardReader::ScanForward(std::uint32_t s) {
    ReaderProbe probe(*this);
    RingBounds ring = RingOf(*this);
    return CRingSearch(probe, ring).ScanForward(s);
}

std::uint32_t CCardReader::ScanBackward(std::uint32_t s) {
    ReaderProbe probe(*this);
    RingBounds ring = RingOf(*this);
    return CRingSearch(probe, ring).ScanBackward(s);
}

std::uint32_t CCardReader::FindRunEnd(std::uint32_t start) {
    ReaderProbe probe(*this);
    RingBounds ring = RingOf(*this);
    return CRingSearch(probe, ring).FindRunEnd(start);
}

void CCardReader::FindRingBounds() {
    ReaderProbe probe(*this);
    RingBounds ring = RingOf(*this);
    CRingSearch(probe, ring).FindRingBounds();
    upperSector = ring.upperSector;
    ringStart = ring.ringStart;
    ringCount = ring.ringCount;
}

std::uint32_t CCardReader::FindSectorByTime(std::int32_t time) {
    ReaderProbe probe(*this);
    RingBounds ring = RingOf(*this);
    return CRingSearch(probe, ring).FindSectorByTime(time);
}

}  // namespace orvanta
