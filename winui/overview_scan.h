// COverviewScan: the card overview of the Windows strip, read on a worker
// thread (CardOverview opens the card's volume itself); progress and end are
// posted to the strip as kScanProgressMessage and kScanDoneMessage.
#pragma once

#include "card/card_overview.h"
#include "winui/worker_scan.h"

namespace orvanta {

using COverviewScan = CWorkerScan<CardOverview, OverviewRequest, OverviewResult>;

}  // namespace orvanta
