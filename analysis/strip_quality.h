// The overview strip's power-quality quantities (THD-F of the voltage and of
// the current, the power factor), computed in the strip's own scan: a record
// hook for CardOverview that analyses each sampled record's period as
// `orvanta-card analyse` does (orders to 40) and fills the sample's values.
#pragma once

#include "card/card_overview.h"
#include "card/card_reader.h"

namespace orvanta {
namespace analysis {

// Sets the hook on `overview`, with the reader's ratios. The hook may run on
// the scan's worker thread.
void EnableStripQuality(CardOverview& overview, const CCardReader& reader);

}  // namespace analysis
}  // namespace orvanta
