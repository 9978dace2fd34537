// The language of the server's pages: Chinese, as the client's users read
// it, or English when the request's Accept-Language prefers English.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvanta::server {

enum class PageLanguage { kChinese, kEnglish };

// English when the language range with the highest quality (the first of
// equal ones) is English ("en", "en-US", ...); Chinese otherwise, also
// without the header.
PageLanguage LanguageOf(const std::optional<std::string>& acceptLanguage);

// The text in the page's language.
inline std::string Tr(PageLanguage language, std::string_view chinese, std::string_view english) {
    return std::string(language == PageLanguage::kEnglish ? english : chinese);
}

}  // namespace orvanta::server
