// A footer line on every page of a PDF that the browser engine printed.
//
// The engine (Chromium's Skia PDF writer, through QWebEnginePage::printToPdf)
// offers no headers or footers, and the CSS page-margin boxes that would
// carry them are not supported by the engine of Qt 6.4. So the document is
// amended afterwards by an incremental update, as a PDF editor would amend
// it: each page gets a second content stream that writes `text` and
// "Page i of n" at its foot in Helvetica (one of the standard fonts every
// reader has), and the pages' new versions, the font and a new cross
// reference section are appended; the engine's bytes stay as they are.
//
// Qt-free. Only the plain structure the engine writes is amended (a classic
// cross-reference table, pages with their resources in line); any other
// document is given back unchanged, with false.
#pragma once

#include <string>

namespace orvanta {

// `text` is printable ASCII (anything else is written as '?').
bool AddPdfFooter(std::string* pdf, const std::string& text);

}  // namespace orvanta
