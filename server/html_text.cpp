#include "server/html_text.h"

#include <cmath>
#include <cstdio>

namespace orvanta::server {
namespace {

// Length of the valid UTF-8 sequence at `i`, or 0 when the bytes there are
// not one (overlong forms, surrogates and code points above U+10FFFF included).
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t len = 0;
    unsigned int cp = 0;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
    else return 0;
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        return 0;
    }
    return len;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        switch (c) {
            case '&': out += "&amp;"; ++i; continue;
            case '<': out += "&lt;"; ++i; continue;
            case '>': out += "&gt;"; ++i; continue;
            case '"': out += "&quot;"; ++i; continue;
            case '\'': out += "&#39;"; ++i; continue;
            default: break;
        }
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n') || u == 0x7F) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        const std::size_t len = Utf8Length(text, i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        out.append(text.substr(i, len));
        i += len;
    }
    return out;
}

std::string_view PageStyle() {
    return R"css(
body { font-family: "Noto Sans CJK SC", "Noto Sans SC", "Microsoft YaHei", "PingFang SC", sans-serif;
       margin: 0; padding: 16px 24px; color: #1d2733; background: #f4f6f9; font-size: 14px; }
h1 { font-size: 20px; margin: 0 0 12px 0; }
h2 { font-size: 16px; margin: 0 0 8px 0; }
section { background: #fff; border: 1px solid #d8dee6; border-radius: 6px; padding: 12px 16px; margin: 0 0 12px 0; }
table { border-collapse: collapse; }
th, td { text-align: left; padding: 3px 12px 3px 0; vertical-align: top; }
th { color: #4a5868; font-weight: normal; }
.note { background: #fff4d6; border-left: 4px solid #e0a100; padding: 6px 10px; margin: 8px 0 0 0; }
.error { background: #fde8e8; border-left: 4px solid #c62828; padding: 8px 12px; }
.value { font-weight: bold; font-variant-numeric: tabular-nums; }
.cols { display: flex; flex-wrap: wrap; gap: 12px; }
.cols > section { flex: 1 1 420px; }
svg { display: block; max-width: 100%; height: auto; }
.harmonic-table td, .harmonic-table th { padding: 1px 10px 1px 0; font-variant-numeric: tabular-nums; }
code { background: #eef1f5; padding: 0 4px; border-radius: 3px; }
.print-only { display: none; }
/* Printed: a TrueType CJK font first (the browser engine embeds its outlines; it writes CFF fonts such as
   Noto Sans CJK as Type 3 glyph procedures); small sections stay whole, long ones (a chart with its table,
   the trend) go on on the next page instead of leaving the page before half empty. */
@media print {
  body { background: #fff; padding: 0; }
  body, svg { font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC", "Microsoft YaHei", sans-serif; }
  section { border-color: #bbb; }
  #times, #device, #summary, #power, #waveform, #trend, .keep { break-inside: avoid; page-break-inside: avoid; }
  svg, tr, .note { break-inside: avoid; page-break-inside: avoid; }
  h1, h2 { break-after: avoid; page-break-after: avoid; }
  .cols { display: block; }
  details { display: none; }
  .print-only { display: block; }
}
)css";
}

std::string SimplePage(std::string_view title, std::string_view bodyHtml, bool english) {
    std::string page;
    page += english ? "<!DOCTYPE html>\n<html lang=\"en\">\n" : "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n";
    page += "<head>\n<meta charset=\"utf-8\">\n";
    // The Windows browser control renders the SVG charts only in its newest document mode.
    page += "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">\n";
    page += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    page += "<title>";
    page += HtmlEscape(title);
    page += "</title>\n<style>";
    page += PageStyle();
    page += "</style>\n</head>\n<body>\n<h1>";
    page += HtmlEscape(title);
    page += "</h1>\n";
    page += bodyHtml;
    page += "\n</body>\n</html>\n";
    return page;
}

}  // namespace orvanta::server
