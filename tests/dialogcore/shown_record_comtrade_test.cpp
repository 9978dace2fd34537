// The exports of a window: the proposed name holds the record's second in
// local standard time (a zone with daylight saving in its summer included),
// and the chosen path loses the extension the writer adds itself.
#include <gtest/gtest.h>

#include "dialogcore/export_file_name.h"
#include "dialogcore/shown_record_comtrade.h"
#include "tests/common/test_env.h"

namespace orvanta {
namespace {

TEST(ShownRecordComtrade, ProposedNameHoldsTheRecordsStandardTime) {
    const struct {
        const char* zone;
        std::int32_t time;
        const char* name;
    } cases[] = {
        {"Asia/Shanghai", 1719792007, "orvanta-2024-07-01_080007.cfg"},
        {"UTC", 1719792007, "orvanta-2024-07-01_000007.cfg"},
        // Summer in Berlin: standard time (UTC+1), not the clock's UTC+2.
        {"Europe/Berlin", 1719792007, "orvanta-2024-07-01_010007.cfg"},
    };
    for (const auto& c : cases) {
        testenv::ScopedTimeZone zone(c.zone);
        EXPECT_EQ(ExportFileName(c.time, "cfg"), c.name) << c.zone;
    }
}

TEST(ShownRecordComtrade, OutBaseDropsTheFilesOwnExtension) {
    const struct {
        const char* chosen;
        const char* base;
    } cases[] = {
        {"C:\\out\\rec.cfg", "C:\\out\\rec"}, {"rec.DAT", "rec"}, {"rec.Cfg", "rec"},
        {"rec.txt", "rec.txt"},               {"rec", "rec"},     {".cfg", ".cfg"},
    };
    for (const auto& c : cases) EXPECT_EQ(ComtradeOutBase(c.chosen), c.base) << c.chosen;
}

}  // namespace
}  // namespace orvanta
