// Pieces of the WinHTTP poster that the Windows tests reach.
#pragma once

#include <string>

namespace orvanta {

// The header block as WinHttpAddRequestHeaders takes it: the non-empty lines,
// each ended by CR LF, widened from the ANSI code page.
std::wstring WinHttpHeaderText(const std::string& headerBlock);

// A short English text for a WinHTTP or system error code.
std::string WinHttpErrorText(unsigned long code);

}  // namespace orvanta
