#include "ui/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orvanta {

UiLanguage LanguageOfDesktop(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) return UiLanguage::kChinese;
    const QString first = uiLanguages.first();
    // "en", "en-US", "en_GB"; not "eo" or the C locale's "C".
    const bool english = first.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ||
                         first.startsWith(QLatin1String("en-"), Qt::CaseInsensitive) ||
                         first.startsWith(QLatin1String("en_"), Qt::CaseInsensitive);
    return english ? UiLanguage::kEnglish : UiLanguage::kChinese;
}

bool ParseUiLanguage(const QString& name, UiLanguage* language) {
    if (name == QLatin1String("zh")) {
        *language = UiLanguage::kChinese;
        return true;
    }
    if (name == QLatin1String("en")) {
        *language = UiLanguage::kEnglish;
        return true;
    }
    return false;
}

bool InstallUiLanguage(QCoreApplication& app, UiLanguage language) {
    if (language == UiLanguage::kChinese) return true;
    // Owned by the application, so they live as long as it does.
    auto* qtbase = new QTranslator(&app);
    if (qtbase->load(QStringLiteral("qtbase_en"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qtbase);
    }
    auto* own = new QTranslator(&app);
    if (!own->load(QStringLiteral(":/i18n/orvanta_en.qm"))) return false;
    return QCoreApplication::installTranslator(own);
}

}  // namespace orvanta
