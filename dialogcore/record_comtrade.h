// The COMTRADE files of a card's records as both windows and the command line
// write them: the writer's setup from the card reader (serial, ratios, zero
// levels) and the export of the record a window shows (导出 COMTRADE… /
// Export COMTRADE…), one record at one sampling rate.
#pragma once

#include <string>

#include "analysis/comtrade_writer.h"
#include "card/card_reader.h"
#include "dialogcore/local_analysis_page.h"

namespace orvanta {

// The setup of the card `reader` found (its device record read), ASCII,
// several records.
analysis::ComtradeSetup ComtradeSetupOf(const CCardReader& reader, int lineFrequency);

// Writes OUT.cfg and OUT.dat of `record` (outBase is the path without
// extension); the result's error is empty when both were written.
analysis::ComtradeResult ExportRecordComtrade(const CCardReader& reader, const ShownRecord& record, int lineFrequency,
                                              const std::string& outBase);

}  // namespace orvanta
