// The record shown by the last card query as CSV, for a spreadsheet: a header
// block (drive, serial, record time, its zone, sector, ratios and scale
// factors), then one row per sample pair with the waveform text's values of
// channel A and channel B in counts and in amperes and volts, then the trend
// text's points in whole amperes and volts. The window's export and
// orvanta-query --csv write exactly this text.
#pragma once

#include <string>

#include "card/card_reader.h"

namespace orvanta {

// The CSV of the reader's last query (waveText, trendText, currentSector,
// actualTime, deviceSerial and the drive), lines ended by LF.
std::string BuildRecordCsv(const CCardReader& reader);

}  // namespace orvanta
