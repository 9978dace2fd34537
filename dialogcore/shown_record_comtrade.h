// 导出 COMTRADE… / Export COMTRADE… of a window: the record it shows as the
// COMTRADE pair orvanta-card comtrade --at writes for that record (ASCII, one
// rate, the serial, ratios and zero levels of the card, the line frequency of
// the configuration file's nominalFrequency, else 50 Hz), and the file name a
// save dialog proposes for it. Qt-free, for both windows.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/comtrade_writer.h"
#include "card/card_reader.h"

namespace orvanta {

// "orvanta-20240701-080007": the record's second in local standard time.
std::string ComtradeProposedName(std::int32_t recordTime);

// The path a save dialog gave without its ".cfg" or ".dat" (either case).
std::string ComtradeOutBase(const std::string& chosen);

// Reads the record the reader's last query found again and writes
// OUTBASE.cfg and OUTBASE.dat. The result's error says why nothing or not
// all was written (no record shown, the card no longer holds it, a write).
analysis::ComtradeResult WriteShownRecordComtrade(CCardReader& reader, const std::string& iniPath,
                                                  const std::string& outBase);

}  // namespace orvanta
