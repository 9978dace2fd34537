// The record shown by the last card query as CSV, for a spreadsheet: three
// files of one table each, named after the file the user chose ("X.csv"
// gives "X-waveform.csv", "X-trend.csv" and "X-info.csv"):
// - waveform: one row per sample pair, its time offset in milliseconds (96
//   samples a period of the nominal frequency), the waveform text's values
//   of channel A and channel B in counts and in amperes and volts;
// - trend: one row per record of the trend text (no leading "0 0" point):
//   its local standard time, sector, trend point in whole amperes and volts
//   and its real-valued RMS, the columns of orvanta-card overview;
// - info: field, value and unit of drive, serial, record time, time zone,
//   sector, ratios, scale factors, nominal frequency and sample interval.
// The window's export and orvanta-query --csv write exactly these texts.
#pragma once

#include <string>
#include <vector>

#include "card/card_reader.h"

namespace orvanta {

struct RecordCsvFile {
    const char* suffix;  // "-waveform.csv", "-trend.csv", "-info.csv"
    std::string text;    // lines ended by LF
};

// The three files of the reader's last query (waveText, TrendRecords(),
// currentSector, actualTime, deviceSerial and the drive), in the order
// waveform, trend, info. `nominalFrequency` in Hz (50 or 60) times the
// waveform's time column.
std::vector<RecordCsvFile> BuildRecordCsv(const CCardReader& reader, int nominalFrequency);

// The file of `suffix` for the chosen path: a trailing ".csv" (any case)
// gives way to the suffix; another name gets it appended.
template <class Char>
std::basic_string<Char> RecordCsvPath(std::basic_string<Char> chosen, const char* suffix) {
    static const char kCsv[] = ".csv";
    if (chosen.size() >= 4) {
        bool csv = true;
        for (std::size_t i = 0; i < 4; ++i) {
            const Char c = chosen[chosen.size() - 4 + i];
            const Char lower = c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
            csv = csv && lower == static_cast<Char>(kCsv[i]);
        }
        if (csv) chosen.resize(chosen.size() - 4);
    }
    for (const char* s = suffix; *s != '\0'; ++s) chosen.push_back(static_cast<Char>(*s));
    return chosen;
}

}  // namespace orvanta
