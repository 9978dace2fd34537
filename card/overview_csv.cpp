#include "card/overview_csv.h"

#include <cstdio>

#include "card/local_time.h"

namespace orvanta {

std::string OverviewCsvHeader(std::int32_t zoneAt) {
    return LocalTimeColumn(zoneAt) + ",sector,trend_a (A),trend_b (V),rms_a (A),rms_b (V)";
}

// The real RMS keeps four decimals of amperes and two of volts.
void AppendOverviewCsvRow(std::int32_t time, std::uint32_t sector, const TrendPoint* point, const RecordRms* rms,
                          std::string* csv) {
    *csv += FormatLocalStandard(time);
    *csv += ',';
    *csv += std::to_string(sector);
    *csv += ',';
    if (point != nullptr) {
        *csv += std::to_string(point->valueA);
        *csv += ',';
        *csv += std::to_string(point->valueB);
    } else {
        *csv += ',';
    }
    if (rms != nullptr) {
        char number[64];
        std::snprintf(number, sizeof number, ",%.4f,%.2f", rms->amperesA, rms->voltsB);
        *csv += number;
    } else {
        *csv += ",,";
    }
    *csv += '\n';
}

std::string OverviewCsv(const std::vector<OverviewSample>& samples) {
    std::string csv = OverviewCsvHeader(samples.empty() ? 0 : samples.front().time) + "\n";
    for (const OverviewSample& sample : samples) {
        AppendOverviewCsvRow(sample.time, sample.sector, sample.hasPoint ? &sample.point : nullptr,
                             sample.hasRms ? &sample.rms : nullptr, &csv);
    }
    return csv;
}

std::string TrendRecordsCsv(const std::vector<TrendRecord>& records, std::int32_t zoneAt) {
    std::string csv = OverviewCsvHeader(zoneAt) + "\n";
    for (const TrendRecord& record : records) {
        AppendOverviewCsvRow(record.time, record.sector, &record.point, &record.rms, &csv);
    }
    return csv;
}

}  // namespace orvanta
