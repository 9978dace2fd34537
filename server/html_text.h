// Small text helpers for the server's HTML pages.
#pragma once

#include <string>
#include <string_view>

#include "analysis/svg_chart.h"

namespace orvanta::server {

// Escapes &, <, >, " and ' for HTML text and attribute values. Bytes that are
// not valid UTF-8 and control bytes other than tab and line feed become U+FFFD,
// so whatever a client sent can be shown without breaking the page.
std::string HtmlEscape(std::string_view text);

// "%.*f" in the C locale's notation ('.' as the decimal point).
using analysis::FormatFixed;

// A complete, self-contained page (Chinese unless `english`): a heading, a
// message and the shared style; no scripts, nothing loaded from elsewhere.
// `bodyHtml` is inserted as it is.
std::string SimplePage(std::string_view title, std::string_view bodyHtml, bool english = false);

// The page style shared by every page of the server.
std::string_view PageStyle();

}  // namespace orvanta::server
