#include "card/event_scan.h"

#include "card/range_scan.h"
#include "card/trend_point.h"

namespace orvanta {

CEventScan::CEventScan(const CCardReader& reader)
    : source_(reader) {}

EventScanResult CEventScan::Scan(const EventScanRequest& request) const {
    CEventDetector detector(request.nominalVolts);
    const CTrendPointCalculator points(source_.zeroLevelB, source_.ratioA, source_.ratioB);
    std::uint64_t records = 0;
    CRangeScan scan(source_);
    scan.SetProgressHook(progress_);
    scan.SetCancelHook(cancel_);
    const RangeScanResult read = scan.Scan(
        request.range,
        [&](std::uint32_t, std::int32_t time, const unsigned char* bytes) {
            TrendPoint point;
            // A record without a channel B point does not take part.
            if (!points.PointOf(bytes, &point)) return;
            detector.Add(time, point.valueB);
            ++records;
        },
        "the card stopped answering during the scan; the events are those of what was read before");
    detector.Finish();
    EventScanResult result;
    static_cast<CardScanEnd&>(result) = read;
    result.sectors = read.sectors;
    result.records = records;
    result.events = detector.Events();
    return result;
}

}  // namespace orvanta
