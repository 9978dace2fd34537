// Starting the platform's socket layer at program start: Windows Sockets,
// version 1.1 exactly; elsewhere there is nothing to start.
#pragma once

namespace orvanta {

// Whether a granted Windows Sockets version (low byte major, high byte minor,
// as in WSADATA::wVersion) is the 1.1 the client asks for.
bool SocketVersionAccepted(unsigned short grantedVersion);

// Starts the socket layer asking for version 1.1. Succeeds only when exactly
// 1.1 is granted (otherwise the layer is shut down again); on success the
// layer is shut down at process end. Always succeeds where there is no such
// layer to start (Linux).
bool StartSocketLayer();

}  // namespace orvanta
