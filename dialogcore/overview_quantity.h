// The quantity the overview strip draws, chosen in its context menu and
// remembered by the window: RMS voltage (the strip's first), RMS current,
// THD-F of the voltage, THD-F of the current, or the power factor. The THD
// and power factor values come from the strip's own scan once
// analysis::EnableStripQuality is set on its CardOverview.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "card/card_overview.h"
#include "dialogcore/ui_language.h"

namespace orvanta {

enum class OverviewQuantity { kVoltageRms, kCurrentRms, kVoltageThdF, kCurrentThdF, kPowerFactor };

constexpr OverviewQuantity kOverviewQuantities[] = {OverviewQuantity::kVoltageRms, OverviewQuantity::kCurrentRms,
                                                   OverviewQuantity::kVoltageThdF, OverviewQuantity::kCurrentThdF,
                                                   OverviewQuantity::kPowerFactor};

// The menu caption, e.g. "电压有效值" / "RMS voltage".
std::string QuantityCaption(UiLanguage language, OverviewQuantity quantity);
// The axis unit: "V", "A", "%" or "" (the power factor).
std::string QuantityUnit(OverviewQuantity quantity);
// The name the window remembers the choice by ("vRms", "iRms", "vThdF",
// "iThdF", "pf"), and back; an unknown name gives the RMS voltage.
std::string QuantityKey(OverviewQuantity quantity);
OverviewQuantity QuantityOfKey(const std::string& key);

// The sample's value of the quantity; none when its record gives none.
std::optional<double> QuantityValue(const OverviewSample& sample, OverviewQuantity quantity);

// The samples as one curve of the quantity, for the strip's envelope: each
// sample's value in both channels' RMS places (rms.voltsB and rms.amperesA),
// hasRms false where the record gives none.
std::vector<OverviewSample> QuantityCurve(const std::vector<OverviewSample>& samples, OverviewQuantity quantity);

}  // namespace orvanta
