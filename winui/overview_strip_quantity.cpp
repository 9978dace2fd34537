// The quantity the strip draws (dialogcore/overview_quantity.h). RMS voltage
// keeps the strip's two RMS bands; RMS current keeps channel A's band alone;
// the THD-F of the voltage and the power factor take channel B's place, the
// THD-F of the current channel A's, each with its unit on its channel's axis.
#include "winui/overview_strip.h"
#include "winui/ui_texts.h"

namespace orvanta {

void COverviewStrip::SetQuantity(OverviewQuantity quantity) {
    quantity_ = quantity;
    Changed();
}

bool COverviewStrip::ShowsChannel(bool channelA) const {
    switch (quantity_) {
    case OverviewQuantity::kVoltageRms:
        return true;
    case OverviewQuantity::kCurrentRms:
    case OverviewQuantity::kCurrentThdF:
        return channelA;
    case OverviewQuantity::kVoltageThdF:
    case OverviewQuantity::kPowerFactor:
        return !channelA;
    }
    return true;
}

const wchar_t* COverviewStrip::ChannelUnit(bool channelA) const {
    if (quantity_ == OverviewQuantity::kVoltageRms || quantity_ == OverviewQuantity::kCurrentRms) {
        return channelA ? L"A" : L"V";
    }
    return quantity_ == OverviewQuantity::kPowerFactor ? L"" : L"%";
}

std::vector<OverviewSample> COverviewStrip::PlottedSamples() const {
    std::vector<OverviewSample> samples = view_.Samples();
    if (quantity_ == OverviewQuantity::kVoltageRms || quantity_ == OverviewQuantity::kCurrentRms) return samples;
    const bool channelA = ShowsChannel(true);
    for (OverviewSample& sample : samples) {
        // A record without the quantity leaves its column empty, as one
        // without a marker does.
        const std::optional<double> value = QuantityValue(sample, quantity_);
        sample.hasRms = value.has_value();
        (channelA ? sample.rms.amperesA : sample.rms.voltsB) = value.value_or(0.0);
    }
    return samples;
}

std::wstring COverviewStrip::QuantityNote() const {
    if (quantity_ == OverviewQuantity::kVoltageRms) return std::wstring();
    return L"  (" + Widen(QuantityCaption(WindowLanguage(), quantity_)) + L")";
}

}  // namespace orvanta
