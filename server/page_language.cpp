#include "server/page_language.h"

#include <cctype>
#include <cstdlib>

namespace orvanta::server {
namespace {

std::string Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

}  // namespace

PageLanguage LanguageOf(const std::optional<std::string>& acceptLanguage) {
    if (!acceptLanguage) return PageLanguage::kChinese;
    std::string_view rest = *acceptLanguage;
    double bestQuality = 0.0;
    std::string best;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        const std::size_t semicolon = item.find(';');
        const std::string range = Trimmed(item.substr(0, semicolon));
        double quality = 1.0;
        if (semicolon != std::string_view::npos) {
            const std::string parameter = Trimmed(item.substr(semicolon + 1));
            if (parameter.compare(0, 2, "q=") == 0) quality = std::strtod(parameter.c_str() + 2, nullptr);
        }
        if (!range.empty() && quality > bestQuality) {
            bestQuality = quality;
            best = range;
        }
    }
    const bool english = best == "en" || best.compare(0, 3, "en-") == 0;
    return english ? PageLanguage::kEnglish : PageLanguage::kChinese;
}

}  // namespace orvanta::server
