// A text written to a file the user chooses: the system's save dialog (the
// title a menu text without its "…", a CSV filter), then the text, made only
// once a file is chosen; a message box in the owner's caption when it cannot
// be written. For the record's and the events list's CSV exports.
//
// SaveTextsAs writes several files named after the one chosen: each text's
// suffix takes the place of its ".csv" (request/record_csv.h); a file that
// cannot be written removes those written before it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orvanta {

void SaveTextAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<std::string()>& text);

// (suffix, text) pairs.
using SuffixedTexts = std::vector<std::pair<std::string, std::string>>;
void SaveTextsAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<SuffixedTexts()>& texts);

}  // namespace orvanta
