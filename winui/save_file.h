// Files the user chooses: the system's save and open dialogs (the title a
// menu text without its "…", starting in the user's Documents folder), and a
// text written to a file so chosen (a CSV filter; the text made only once a
// file is chosen; a message box in the owner's caption says where it was
// saved or that it cannot be written). For the record's and the events list's
// CSV exports, the COMTRADE export and the card images.
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

// The path chosen in the save dialog (asking before an existing file is
// replaced), or empty. `filter` is the dialog's pairs of "text\0pattern\0".
std::wstring AskSavePath(HWND owner, UINT titleId, const std::wstring& defaultName, const std::wstring& filter,
                         const wchar_t* extension);
// The existing file chosen in the open dialog, or empty.
std::wstring AskOpenPath(HWND owner, UINT titleId, const std::wstring& filter);

// A path in the system's ANSI code page, as the C library's fopen takes it;
// false when a character of it has none there.
bool AnsiPath(const std::wstring& path, std::string* ansi);

// (suffix, text) pairs.
using SuffixedTexts = std::vector<std::pair<std::string, std::string>>;
void SaveTextsAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<SuffixedTexts()>& texts);

}  // namespace orvanta
