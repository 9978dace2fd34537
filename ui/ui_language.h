// The language of the window. Chinese is the system's own and the default;
// English is used when the desktop's user-interface language is English, or
// when asked for with --lang en. The Chinese texts are the source texts, so
// Chinese needs no translator at all.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace orvanta {

enum class UiLanguage { kChinese, kEnglish };

// English when the first of the desktop's user-interface languages (as
// QLocale::uiLanguages() lists them) is English; Chinese for every other
// language, the C/POSIX locale included.
UiLanguage LanguageOfDesktop(const QStringList& uiLanguages);

// "zh" or "en" (the argument of --lang); false for anything else.
bool ParseUiLanguage(const QString& name, UiLanguage* language);

// Installs the translators for the language on the application: for English
// the window's own translation (built into the program) and Qt's qtbase
// translation where it is installed. Returns false when the window's own
// translation could not be loaded (the window then stays Chinese).
bool InstallUiLanguage(QCoreApplication& app, UiLanguage language);

}  // namespace orvanta
