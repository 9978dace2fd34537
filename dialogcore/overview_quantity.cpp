#include "dialogcore/overview_quantity.h"

namespace orvanta {
namespace {

struct QuantityText {
    OverviewQuantity quantity;
    Bilingual caption;
    const char* unit;
    const char* key;
};

constexpr QuantityText kTexts[] = {
    {OverviewQuantity::kVoltageRms, {"电压有效值", "RMS Voltage"}, "V", "vRms"},
    {OverviewQuantity::kCurrentRms, {"电流有效值", "RMS Current"}, "A", "iRms"},
    {OverviewQuantity::kVoltageThdF, {"电压总谐波畸变率（THD-F）", "THD-F of the Voltage"}, "%", "vThdF"},
    {OverviewQuantity::kCurrentThdF, {"电流总谐波畸变率（THD-F）", "THD-F of the Current"}, "%", "iThdF"},
    {OverviewQuantity::kPowerFactor, {"功率因数", "Power Factor"}, "", "pf"},
};

const QuantityText& TextOf(OverviewQuantity quantity) {
    for (const QuantityText& text : kTexts) {
        if (text.quantity == quantity) return text;
    }
    return kTexts[0];
}

}  // namespace

std::string QuantityCaption(UiLanguage language, OverviewQuantity quantity) {
    return In(language, TextOf(quantity).caption);
}

std::string QuantityUnit(OverviewQuantity quantity) { return TextOf(quantity).unit; }

std::string QuantityKey(OverviewQuantity quantity) { return TextOf(quantity).key; }

OverviewQuantity QuantityOfKey(const std::string& key) {
    for (const QuantityText& text : kTexts) {
        if (key == text.key) return text.quantity;
    }
    return OverviewQuantity::kVoltageRms;
}

std::optional<double> QuantityValue(const OverviewSample& sample, OverviewQuantity quantity) {
    switch (quantity) {
        case OverviewQuantity::kVoltageRms:
            return sample.hasRms ? std::optional<double>(sample.rms.voltsB) : std::nullopt;
        case OverviewQuantity::kCurrentRms:
            return sample.hasRms ? std::optional<double>(sample.rms.amperesA) : std::nullopt;
        case OverviewQuantity::kVoltageThdF:
            return sample.voltageThdF;
        case OverviewQuantity::kCurrentThdF:
            return sample.currentThdF;
        case OverviewQuantity::kPowerFactor:
            return sample.powerFactor;
    }
    return std::nullopt;
}

std::vector<OverviewSample> QuantityCurve(const std::vector<OverviewSample>& samples, OverviewQuantity quantity) {
    std::vector<OverviewSample> curve = samples;
    for (OverviewSample& sample : curve) {
        const std::optional<double> value = QuantityValue(sample, quantity);
        sample.hasRms = value.has_value();
        sample.rms.voltsB = sample.rms.amperesA = value.value_or(0.0);
    }
    return curve;
}

}  // namespace orvanta
