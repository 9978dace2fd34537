#include "request/record_csv.h"

#include <cstdint>
#include <cstdio>
#include <sstream>

#include "card/card_layout.h"
#include "card/local_time.h"
#include "card/overview_csv.h"
#include "request/client_settings.h"

namespace orvanta {

namespace {

constexpr int kSamplesPerPeriod = 96;

// The numbers of a report text, in order.
std::vector<long long> NumbersOf(const char* text) {
    std::vector<long long> numbers;
    std::istringstream in(text);
    for (long long n; in >> n;) numbers.push_back(n);
    return numbers;
}

// The waveform text's values are counts (zero-corrected, times the ratio);
// times the scale factor they are amperes and volts.
std::string WaveformCsv(const CCardReader& reader, double sampleMs) {
    std::string csv = "index,time (ms),channel_a (counts),channel_b (counts),channel_a (A),channel_b (V)\n";
    const std::vector<long long> wave = NumbersOf(reader.waveText);
    char line[160];
    for (std::size_t pair = 0; 2 * pair + 1 < wave.size(); ++pair) {
        std::snprintf(line, sizeof line, "%zu,%.4f,%lld,%lld,%.4f,%.2f\n", pair, static_cast<double>(pair) * sampleMs,
                      wave[2 * pair], wave[2 * pair + 1], static_cast<double>(wave[2 * pair]) * kTrendScaleA,
                      static_cast<double>(wave[2 * pair + 1]) * kTrendScaleB);
        csv += line;
    }
    return csv;
}

std::string InfoCsv(const CCardReader& reader, int nominalFrequency, double sampleMs, std::int32_t zoneAt) {
    const std::string zone = FormatUtcOffset(StandardUtcOffset(zoneAt));
    std::ostringstream csv;
    csv << "field,value,unit\n";
    const std::int32_t code = reader.StartupDriveCode();
    csv << "drive,";
    if (code >= 'A' && code <= 'Z') csv << static_cast<char>(code) << ':';
    csv << ",\n";
    csv << "serial," << static_cast<std::uint32_t>(reader.deviceSerial) << ",\n";
    csv << "record time,";
    if (reader.actualTime > 0) csv << FormatLocalStandard(reader.actualTime);
    csv << ",local standard time (" << zone << ")\n";
    csv << "time zone," << zone << ",local standard time\n";
    csv << "sector," << reader.currentSector << ",\n";
    char line[160];
    std::snprintf(line, sizeof line, "ratio_a,%.15g,\nratio_b,%.15g,\n", reader.ratioA, reader.ratioB);
    csv << line;
    std::snprintf(line, sizeof line, "scale_a,%.15g,A per count\nscale_b,%.15g,V per count\n", kTrendScaleA,
                  kTrendScaleB);
    csv << line;
    std::snprintf(line, sizeof line, "nominal_frequency,%d,Hz\nsample_interval,%.6f,ms\n", nominalFrequency, sampleMs);
    csv << line;
    return csv.str();
}

}  // namespace

std::vector<RecordCsvFile> BuildRecordCsv(const CCardReader& reader, int nominalFrequency) {
    const int hertz = nominalFrequency > 0 ? nominalFrequency : kDefaultNominalFrequency;
    const double sampleMs = 1000.0 / (static_cast<double>(kSamplesPerPeriod) * hertz);
    const std::int32_t zoneAt = reader.actualTime > 0 ? reader.actualTime : 0;
    return {{"-waveform.csv", WaveformCsv(reader, sampleMs)},
            {"-trend.csv", TrendRecordsCsv(reader.TrendRecords(), zoneAt)},
            {"-info.csv", InfoCsv(reader, hertz, sampleMs, zoneAt)}};
}

}  // namespace orvanta
