// Valid analysis requests to start from, and small helpers, for the server tests.
#pragma once

#include "tests/common/test_env.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orvanta::server::testing {

using orvanta::testenv::ScopedTimeZone;

// The texts of one request, as the client would build them before encoding.
struct FormTexts {
    std::int32_t selectedTime = 1386302400;
    std::int32_t actualTime = 1386302400;
    std::vector<std::int32_t> wave;   // 252 numbers: A0 B0 A1 B1 ...
    std::vector<std::int32_t> trend;  // the whole data1 text's numbers
    std::vector<std::int32_t> device{69, 1, 1, 123456, 7};
};

// "n n n " with a blank after every number, as the client writes its texts.
std::string NumberText(const std::vector<std::int32_t>& numbers);

// data1 numbers for these trend points: "0 0", the points, then the fill.
std::vector<std::int32_t> TrendNumbers(const std::vector<std::pair<int, int>>& points);

// A record where channel B carries the given harmonic amplitudes (order ->
// peak counts, sine phase) and channel A the same shape at twice the size.
std::vector<std::int32_t> WaveNumbers(const std::map<int, double>& harmonicsB);

// A complete, valid request's texts: a sine with harmonics and a few trend points.
FormTexts ValidTexts();

// The form body, encoded as the client encodes it (blank -> '+', '-' kept).
std::string EncodeBody(const FormTexts& texts);


}  // namespace orvanta::server::testing
