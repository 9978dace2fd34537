#include "ui/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "ui/ui_strings.h"

namespace orvanta {

UiLanguage LanguageOfDesktop(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) return UiLanguage::kChinese;
    const QString& first = uiLanguages.first();
    // "en", "en-US", "en_GB"; not "eo" or the C locale's "C".
    const bool english = first.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ||
                         first.startsWith(QLatin1String("en-"), Qt::CaseInsensitive) ||
                         first.startsWith(QLatin1String("en_"), Qt::CaseInsensitive);
    return english ? UiLanguage::kEnglish : UiLanguage::kChinese;
}

bool ChooseUiLanguage(const QString& requested, UiLanguage* language) {
    if (requested.isEmpty()) {
        *language = LanguageOfDesktop(QLocale::system().uiLanguages());
        return true;
    }
    if (requested == QLatin1String("zh")) {
        *language = UiLanguage::kChinese;
        return true;
    }
    if (requested == QLatin1String("en")) {
        *language = UiLanguage::kEnglish;
        return true;
    }
    return false;
}

UiLanguage CurrentUiLanguage() {
    return text::Tr(text::kMainCaption) == QString::fromUtf8(text::kMainCaption) ? UiLanguage::kChinese
                                                                                  : UiLanguage::kEnglish;
}

CUiTranslation::CUiTranslation(UiLanguage language) {
    const bool chinese = language == UiLanguage::kChinese;
    QLocale::setDefault(chinese ? QLocale(QLocale::Chinese, QLocale::China) : QLocale(QLocale::English, QLocale::UnitedStates));
    if (qtbase_.load(chinese ? QStringLiteral("qtbase_zh_CN") : QStringLiteral("qtbase_en"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qtbaseInstalled_ = QCoreApplication::installTranslator(&qtbase_);
    }
    if (chinese) return;
    loaded_ = own_.load(QStringLiteral(":/i18n/orvanta_en.qm"));
    if (loaded_) ownInstalled_ = QCoreApplication::installTranslator(&own_);
}

CUiTranslation::~CUiTranslation() {
    if (ownInstalled_) QCoreApplication::removeTranslator(&own_);
    if (qtbaseInstalled_) QCoreApplication::removeTranslator(&qtbase_);
    QLocale::setDefault(previousLocale_);
}

}  // namespace orvanta
