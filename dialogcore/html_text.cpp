#include "dialogcore/html_text.h"

#include <vector>

namespace orvanta {

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string FillPlaces(const std::string& pattern, std::initializer_list<std::string> arguments) {
    const std::vector<std::string> args(arguments);
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

const char* LocalPageStyle() {
    return "<style>body{font-family:sans-serif;margin:1.2em 1.6em;color:#222}"
           "th{text-align:left;font-weight:normal;color:#555;padding:0.15em 1.5em 0.15em 0}"
           "code{background:#f2f2f2;padding:0 0.2em}.note{color:#555}.warn{color:#a40000}"
           // On paper a TrueType CJK font first: the browser engine embeds its
           // outlines, where it writes CFF fonts as Type 3 glyph procedures.
           "@media print{body{font-family:\"WenQuanYi Micro Hei\",sans-serif}}</style>";
}

}  // namespace orvanta
