// The language of the window. Chinese is the system's own and the default;
// English is used when the desktop's user-interface language is English, or
// when asked for with --lang en. The Chinese texts are the source texts, so
// Chinese needs no translator at all.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include "dialogcore/ui_language.h"

namespace orvanta {

// English when the first of the desktop's user-interface languages (as
// QLocale::uiLanguages() lists them) is English; Chinese for every other
// language, the C/POSIX locale included.
UiLanguage LanguageOfDesktop(const QStringList& uiLanguages);

// The language a program uses: `requested` ("zh" or "en", from --lang) when
// given, otherwise that of the desktop (QLocale::system()). False for any
// other request.
bool ChooseUiLanguage(const QString& requested, UiLanguage* language);

// The language the window's texts are in now: English when a translation of
// them is installed, Chinese otherwise. The local pages follow it.
UiLanguage CurrentUiLanguage();

// The translators of one language, installed on the application for the
// guard's lifetime: for English the window's own translation (built into the
// program); for both languages Qt's own qtbase translation where it is
// installed (qtbase_en, qtbase_zh_CN), so that Qt's dialogs (the file dialog,
// message box buttons) speak the window's language. The default locale
// follows too (the calendar's month and day names), and is restored after.
class CUiTranslation {
public:
    explicit CUiTranslation(UiLanguage language);
    ~CUiTranslation();
    CUiTranslation(const CUiTranslation&) = delete;
    CUiTranslation& operator=(const CUiTranslation&) = delete;

    // False when the window's own translation could not be loaded (the
    // window then stays Chinese).
    bool Loaded() const { return loaded_; }

private:
    QTranslator own_;
    QTranslator qtbase_;
    QLocale previousLocale_;
    bool loaded_ = true;
    bool ownInstalled_ = false;
    bool qtbaseInstalled_ = false;
};

}  // namespace orvanta
