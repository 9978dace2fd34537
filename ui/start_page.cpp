#include "ui/start_page.h"

#include "dialogcore/start_page.h"
#include "ui/ui_language.h"

namespace orvanta {

QString StartPage(const CardSummary& card, const std::string& devicePath, const RatioFacts* ratios,
                  const std::vector<std::string>* driveReport, const ConfigFacts* config) {
    return QString::fromStdString(
        orvanta::StartPage(CurrentUiLanguage(), card, devicePath, ratios, driveReport, config));
}

}  // namespace orvanta
