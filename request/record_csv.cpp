#include "request/record_csv.h"

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <vector>

#include "card/card_layout.h"
#include "card/local_time.h"

namespace orvanta {

namespace {

// The numbers of a report text, in order.
std::vector<long long> NumbersOf(const char* text) {
    std::vector<long long> numbers;
    std::istringstream in(text);
    for (long long n; in >> n;) numbers.push_back(n);
    return numbers;
}

// The trend text's points: "0 0 " (the first point), two numbers per record's
// point, then one zero per point missing to 1000. Returns the pairs, the
// first point included, without the fill.
std::vector<std::pair<long long, long long>> TrendPairsOf(const char* text) {
    const std::vector<long long> numbers = NumbersOf(text);
    constexpr std::size_t kFillTarget = 1000;
    // With P points of records: 2 + 2P numbers, then max(0, 999 - P) zeros.
    std::size_t recordPoints = 0;
    if (numbers.size() >= 2 * kFillTarget) {
        recordPoints = (numbers.size() - 2) / 2;
    } else if (numbers.size() > kFillTarget) {
        recordPoints = numbers.size() - (kFillTarget + 1);
    }
    std::vector<std::pair<long long, long long>> pairs;
    for (std::size_t i = 0; i <= recordPoints && 2 * i + 1 < numbers.size(); ++i) {
        pairs.emplace_back(numbers[2 * i], numbers[2 * i + 1]);
    }
    return pairs;
}

}  // namespace

std::string BuildRecordCsv(const CCardReader& reader) {
    std::ostringstream csv;
    const std::int32_t code = reader.StartupDriveCode();
    csv << "drive,";
    if (code >= 'A' && code <= 'Z') csv << static_cast<char>(code) << ':';
    csv << '\n';
    csv << "serial," << static_cast<std::uint32_t>(reader.deviceSerial) << '\n';
    csv << "record time,";
    if (reader.actualTime > 0) csv << FormatLocalStandard(reader.actualTime);
    csv << '\n';
    csv << "sector," << reader.currentSector << '\n';
    const std::int32_t zoneAt = reader.actualTime > 0 ? reader.actualTime : 0;
    csv << "time zone," << FormatUtcOffset(StandardUtcOffset(zoneAt)) << " (local standard time)\n";
    char line[160];
    std::snprintf(line, sizeof line, "ratio_a,%.15g\nratio_b,%.15g\n", reader.ratioA, reader.ratioB);
    csv << line;
    std::snprintf(line, sizeof line, "scale_a,%.15g,A per count\nscale_b,%.15g,V per count\n", kTrendScaleA,
                  kTrendScaleB);
    csv << line;

    // The waveform text's values are counts (zero-corrected, times the
    // ratio); times the scale factor they are amperes and volts.
    csv << "\nindex,channel_a (counts),channel_b (counts),channel_a (A),channel_b (V)\n";
    const std::vector<long long> wave = NumbersOf(reader.waveText);
    for (std::size_t pair = 0; 2 * pair + 1 < wave.size(); ++pair) {
        std::snprintf(line, sizeof line, ",%.4f,%.2f\n", static_cast<double>(wave[2 * pair]) * kTrendScaleA,
                      static_cast<double>(wave[2 * pair + 1]) * kTrendScaleB);
        csv << pair << ',' << wave[2 * pair] << ',' << wave[2 * pair + 1] << line;
    }

    csv << "\nindex,trend_a (A),trend_b (V)\n";
    const auto trend = TrendPairsOf(reader.trendText);
    for (std::size_t i = 0; i < trend.size(); ++i) {
        csv << i << ',' << trend[i].first << ',' << trend[i].second << '\n';
    }
    return csv.str();
}

}  // namespace orvanta
