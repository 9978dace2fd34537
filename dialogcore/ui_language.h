// The language of a window's texts: Chinese, the system's own, or English.
// Both windows choose it their own way and pass it to the shared texts.
#pragma once

#include "platform/volume_error.h"

namespace orvanta {

enum class UiLanguage { kChinese, kEnglish };

// One text in both languages (UTF-8).
struct Bilingual {
    const char* chinese;
    const char* english;
};

inline const char* In(UiLanguage language, const Bilingual& text) {
    return language == UiLanguage::kEnglish ? text.english : text.chinese;
}

// The same language for the volume layer's and the drive checks' texts.
inline TextLanguage TextLanguageOf(UiLanguage language) {
    return language == UiLanguage::kEnglish ? TextLanguage::kEnglish : TextLanguage::kChinese;
}

}  // namespace orvanta
