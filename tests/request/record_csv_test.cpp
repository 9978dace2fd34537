// The record CSV's three file names, from the one a user chose (both windows
// and orvanta-query --csv name them so; the Windows window with wide paths).
#include "request/record_csv.h"

#include <gtest/gtest.h>

#include <string>

namespace orvanta {
namespace {

TEST(RecordCsvPath, TheChosenNameLosesItsCsvAndGetsTheSuffix) {
    const struct {
        const char* chosen;
        const char* suffix;
        const char* expected;
    } cases[] = {
        {"record.csv", "-waveform.csv", "record-waveform.csv"},
        {"/tmp/a b/Record.CSV", "-trend.csv", "/tmp/a b/Record-trend.csv"},
        {"orvanta-record", "-info.csv", "orvanta-record-info.csv"},  // no ".csv": appended
        {"x.csv.txt", "-info.csv", "x.csv.txt-info.csv"},
        {".csv", "-trend.csv", "-trend.csv"},
        {"csv", "-trend.csv", "csv-trend.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(RecordCsvPath(std::string(c.chosen), c.suffix), c.expected);
        const std::string narrow = c.chosen;
        const std::wstring wide(narrow.begin(), narrow.end());
        const std::string expected = c.expected;
        EXPECT_EQ(RecordCsvPath(wide, c.suffix), std::wstring(expected.begin(), expected.end()));
    }
}

}  // namespace
}  // namespace orvanta
