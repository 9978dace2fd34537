// The analysis request's form fields, checked and turned into numbers.
//
// The client sends five fields: the selected and the actual time (signed
// 32-bit seconds since 1970), the waveform "data" (126 pairs: channel A,
// channel B), the RMS trend "data1" (a leading "0 0", P trend points, then one
// single zero for each point missing to 999) and the device record "data2"
// (drive code, the two truncated ratios, serial number, device byte). Every
// text is a run of decimal integers separated by blanks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/form_parser.h"

namespace orvanta::server {

constexpr std::size_t kWaveSamples = 126;          // sample pairs in one record
constexpr std::size_t kWaveNumbers = 2 * kWaveSamples;
constexpr std::size_t kMaxTrendPoints = 1000;
constexpr std::size_t kDeviceNumbers = 5;

struct DeviceRecord {
    std::int32_t driveCode = 0;   // character code of the drive letter, 1 without a card
    std::int32_t ratioA = 0;      // calibration ratios, truncated to integers
    std::int32_t ratioB = 0;
    std::int32_t serial = 0;      // recorder serial number
    std::int32_t deviceByte = 0;
};

struct TrendPoint {
    std::int32_t a = 0;  // channel A RMS in amperes (rounded)
    std::int32_t b = 0;  // channel B RMS in volts (rounded)
};

struct AnalysisForm {
    std::int32_t selectedTime = 0;
    std::int32_t actualTime = 0;
    std::vector<std::int32_t> channelA;  // kWaveSamples samples, zero-corrected counts
    std::vector<std::int32_t> channelB;
    std::vector<TrendPoint> trend;       // the P trend points, without the leading pair and fill
    DeviceRecord device;
};

struct AnalysisFormResult {
    bool ok = false;
    AnalysisForm form;      // when ok
    std::string field;      // the field at fault, when not ok
    std::string message;    // Chinese description, when not ok
    std::string messageEnglish;  // the same in English
};

// Parses one whole signed 32-bit decimal integer ("-" allowed, no blanks, no
// "+"). False on anything else, overflow included.
bool ParseInt32(std::string_view text, std::int32_t& value);

// Splits a text at runs of blanks (space, tab, CR, LF) into signed 32-bit
// integers. Stops with false, and a Chinese reason in `error` (in English in
// `errorEnglish`, when given), at the first token that is no such integer or
// when more than `maxCount` numbers come.
bool ParseIntegerList(std::string_view text, std::size_t maxCount, std::vector<std::int32_t>& numbers,
                      std::string& error, std::string* errorEnglish = nullptr);

// The number of trend points P that a data1 text of `count` numbers holds, or
// -1 when no P gives that count (2 + 2P + max(0, 999 - P) numbers).
long TrendPointsForCount(std::size_t count);

// Checks the five fields of an already split form. Unknown fields are
// ignored; a known field that is missing, repeated, too long or malformed
// rejects the form, naming it.
AnalysisFormResult CheckAnalysisFields(const std::vector<FormField>& fields);

// ParseForm, then CheckAnalysisFields.
AnalysisFormResult ParseAnalysisForm(std::string_view body);

}  // namespace orvanta::server
