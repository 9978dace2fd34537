// A text written to a file the user chooses: the system's save dialog (the
// title a menu text without its "…", a CSV filter, starting in the user's
// Documents folder), then the text, made only once a file is chosen; a
// message box in the owner's caption says where it was saved or that it
// cannot be written. For the record's and the events list's CSV exports.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace orvanta {

void SaveTextAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<std::string()>& text);

}  // namespace orvanta
