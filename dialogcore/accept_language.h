// The Accept-Language value a window sends with its queries: the server's
// pages (and so the PDF made of them) come in the window's language.
#pragma once

#include "dialogcore/ui_language.h"

namespace orvanta {

inline const char* AcceptLanguageOf(UiLanguage language) {
    return language == UiLanguage::kEnglish ? "en" : "zh-CN,zh";
}

}  // namespace orvanta
