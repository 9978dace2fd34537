#include "ui/local_pages.h"

#include "dialogcore/local_pages.h"
#include "ui/ui_language.h"

namespace orvanta {

QString NoServerPage(const ConfigLookup& config, const char* serverBaseUrl) {
    return QString::fromStdString(
        orvanta::NoServerPage(CurrentUiLanguage(), config, serverBaseUrl != nullptr ? serverBaseUrl : ""));
}

QString UnsafeSettingPage(const std::string& iniPath, const char* key) {
    return QString::fromStdString(orvanta::UnsafeSettingPage(CurrentUiLanguage(), iniPath, key));
}

QString UnreachableServerPage(const ConfigLookup& config, const QString& serverBaseUrl, const QString& engineError) {
    return QString::fromStdString(orvanta::UnreachableServerPage(CurrentUiLanguage(), config.iniPath,
                                                                 serverBaseUrl.toStdString(),
                                                                 engineError.toStdString()));
}

QString NoMemoryPage() { return QString::fromStdString(orvanta::NoMemoryPage(CurrentUiLanguage())); }

QString ConfigProblemPage(const std::string& problem) {
    return QString::fromStdString(orvanta::ConfigProblemPage(CurrentUiLanguage(), problem));
}

}  // namespace orvanta
