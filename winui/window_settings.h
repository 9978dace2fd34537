// What the Windows window remembers between runs, as text values under
// HKEY_CURRENT_USER\Software\Orvanta\orvanta-client (the overview strip's
// quantity, for one).
#pragma once

#include <string>

namespace orvanta {

// The value `name`, or empty when it was never written or cannot be read.
std::wstring ReadWindowSetting(const wchar_t* name);
// Writes `value` as `name`; false when the registry refused it.
bool WriteWindowSetting(const wchar_t* name, const std::wstring& value);

}  // namespace orvanta
