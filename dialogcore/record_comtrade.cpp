#include "dialogcore/record_comtrade.h"

#include <cstdint>

namespace orvanta {

analysis::ComtradeSetup ComtradeSetupOf(const CCardReader& reader, int lineFrequency) {
    analysis::ComtradeSetup setup;
    setup.serial = static_cast<std::uint32_t>(reader.deviceSerial);
    setup.ratioA = reader.ratioA;
    setup.ratioB = reader.ratioB;
    setup.zeroLevelA = reader.offsetA;
    setup.zeroLevelB = reader.offsetB;
    setup.lineFrequency = lineFrequency;
    return setup;
}

analysis::ComtradeResult ExportRecordComtrade(const CCardReader& reader, const ShownRecord& record, int lineFrequency,
                                              const std::string& outBase) {
    analysis::ComtradeSetup setup = ComtradeSetupOf(reader, lineFrequency);
    setup.oneRecord = true;
    // The ratios the record was read with (those of the page shown).
    setup.ratioA = record.ratioA;
    setup.ratioB = record.ratioB;
    analysis::CComtradeWriter writer(outBase, setup);
    writer.Add(record.time, record.bytes.data());
    return writer.Finish();
}

}  // namespace orvanta
