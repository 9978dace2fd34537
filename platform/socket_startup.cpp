#include "platform/socket_startup.h"

namespace orvanta {

bool SocketVersionAccepted(unsigned short grantedVersion) {
    const unsigned major = grantedVersion & 0xFFu;
    const unsigned minor = (grantedVersion >> 8) & 0xFFu;
    return major == 1 && minor == 1;
}

}  // namespace orvanta
