// The calibration ratios both windows show on their start page: the values
// in use, the ratio.txt they came from and its warnings.
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

}  // namespace orvanta
