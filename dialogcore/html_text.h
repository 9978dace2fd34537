// Small helpers for the local pages: HTML escaping, filling the numbered
// places %1, %2, ... of a text, and the style they share.
#pragma once

#include <initializer_list>
#include <string>

namespace orvanta {

// `text` with &, <, > and " written as entities.
std::string HtmlEscaped(const std::string& text);

// `pattern` with each %1 .. %9 replaced by the argument of that number, in
// one pass: a replacement is never scanned again. A place without an
// argument stays as it is.
std::string FillPlaces(const std::string& pattern, std::initializer_list<std::string> arguments);

// The local pages' <style> element (font, margins, tables, code, notes and
// warnings): the start page's, which the error pages share.
const char* LocalPageStyle();

}  // namespace orvanta
