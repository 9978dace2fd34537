// 导出 COMTRADE… / Export COMTRADE… of a window: the record it shows as the
// COMTRADE pair orvanta-card comtrade --at writes for that record (ASCII, one
// rate, the serial, ratios and zero levels of the card, the line frequency of
// the configuration file's nominalFrequency, else 50 Hz; the name proposed is
// dialogcore/export_file_name's). Qt-free, for both windows.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/comtrade_writer.h"
#include "card/card_reader.h"

namespace orvanta {

// The path a save dialog gave without its ".cfg" or ".dat" (either case).
std::string ComtradeOutBase(const std::string& chosen);

// Reads the record the reader's last query found again and writes
// OUTBASE.cfg and OUTBASE.dat. The result's error says why nothing or not
// all was written (no record shown, the card no longer holds it, a write).
analysis::ComtradeResult WriteShownRecordComtrade(CCardReader& reader, const std::string& iniPath,
                                                  const std::string& outBase);

}  // namespace orvanta
