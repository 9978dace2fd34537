// Where the calibration ratios come from. The reader reads ratio.txt from the
// working directory when it is constructed; a window started from the desktop
// menu has the home folder as its working directory, so when no ratio.txt is
// there, the one beside the configuration file that was found is read.
#pragma once

#include <string>

#include "card/card_reader.h"
#include "request/config_search.h"

namespace orvanta {

// Reads ratio.txt beside the configuration file into the reader when the
// working directory holds none. Returns the full path of the ratio.txt in
// use, or "" when there is none (both ratios then stay as they were, 1.0).
std::string UseRatioFile(CCardReader& reader, const ConfigLookup& config);

}  // namespace orvanta
