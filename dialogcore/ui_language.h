// The language of a window's texts: Chinese, the system's own, or English.
// Both windows choose it their own way and pass it to the shared texts.
#pragma once

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

}  // namespace orvanta
