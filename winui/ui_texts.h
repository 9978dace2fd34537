// The Windows window's language: its dialog templates, menus and strings
// exist in Chinese and in English (LANGUAGE blocks of the resource script).
// The language is chosen once at start and every resource is then loaded in
// it explicitly, so the system's own fallback (English for a German user)
// never decides: Chinese is the default for every language but English.
#pragma once

#include <windows.h>

#include <string>

#include "dialogcore/ui_language.h"

namespace orvanta {

// English when the user's UI language is English, Chinese otherwise.
UiLanguage LanguageOfUser();

void SetWindowLanguage(UiLanguage language);
UiLanguage WindowLanguage();

// String `id` of the string table in the window's language (empty: none).
std::wstring LoadText(UINT id);
// `pattern` with its "%1" replaced by `value`.
std::wstring WithArg(const std::wstring& pattern, const std::wstring& value);
// `pattern` with "%1" and "%2" replaced by `first` and `second`.
std::wstring WithArgs(const std::wstring& pattern, const std::wstring& first, const std::wstring& second);
// Dialog template `id` in the window's language, run modally.
INT_PTR RunDialog(int id, HWND owner, DLGPROC procedure, LPARAM parameter);
// Dialog template `id` in the window's language, modeless and hidden until
// shown (null when it could not be created).
HWND CreateDialogIn(int id, HWND owner, DLGPROC procedure, LPARAM parameter);
// Menu `id` in the window's language (the caller destroys it).
HMENU LoadMenuIn(int id);

// UTF-8 to UTF-16 and back.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace orvanta
