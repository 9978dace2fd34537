// What both windows show on their start page beside the card: the
// calibration ratios in use, the ratio.txt they came from and its warnings,
// and the configuration file with its server address.
#pragma once

#include "card/card_reader.h"
#include "dialogcore/start_page.h"
#include "request/config_search.h"

namespace orvanta {

// Reads ratio.txt beside the configuration file into `reader` when the
// working directory held none (UseRatioFile), then gives the ratios in use,
// the file they came from and the warnings about it (the reason a file was
// refused, then one sentence per value not taken or doubtful).
RatioFacts UseRatioFacts(CCardReader& reader, const ConfigLookup& config);

// The configuration file found (or the places looked in) and the server
// address it gives, read now.
ConfigFacts ReadConfigFacts(const ConfigLookup& config);

}  // namespace orvanta
