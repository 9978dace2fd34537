// The WebBrowser control's NavigateError statuses: an HTTP status, or an
// HRESULT of the download layer. Those of the network kind say that the
// server could not be reached (no connection, an unknown name, a refused or
// broken connection, no answer in time, a failed secure connection); the
// window then shows its own page, as the Linux window does for a connection
// failure.
#pragma once

#include <string>

namespace orvanta {

bool IsUnreachableStatus(long status);

// "INET_E_CANNOT_CONNECT (0x800C0004)" and the like, for the page; the
// number alone for a status without a name here.
std::string NavigateStatusName(long status);

}  // namespace orvanta
