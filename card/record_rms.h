// The real-valued RMS of one record: channel A in amperes and channel B in
// volts, from the record's own samples, each channel zero-corrected with its
// own zero level and scaled by its calibration ratio and trend scale factor.
// Unlike the trend point (whole amperes and volts, both channels corrected
// with channel B's zero level), it keeps the fraction, so a 0.45 A load reads
// 0.45 A and not 0 or 1. It takes the trend's 96 sample pairs (1 to 96).
#pragma once

namespace orvanta {

struct RecordRms {
    double amperesA = 0.0;
    double voltsB = 0.0;
};

class CRecordRmsCalculator {
public:
    CRecordRmsCalculator(double zeroLevelA, double zeroLevelB, double ratioA, double ratioB);

    // False when the sector carries no record marker.
    bool RmsOf(const unsigned char* sector, RecordRms* rms) const;

private:
    double zeroLevelA_;
    double zeroLevelB_;
    double scaleA_;
    double scaleB_;
};

}  // namespace orvanta
