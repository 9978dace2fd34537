// Windows Sockets start-up: WSAStartup for version 1.1, WSACleanup when any
// other version is granted, and WSACleanup at process end after a success.
#include "platform/socket_startup.h"

#include <winsock2.h>

#include <cstdlib>

namespace orvanta {
namespace {

void CleanUpSockets() { ::WSACleanup(); }

}  // namespace

bool StartSocketLayer() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return false;
    if (!SocketVersionAccepted(data.wVersion)) {
        ::WSACleanup();
        return false;
    }
    std::atexit(CleanUpSockets);
    return true;
}

}  // namespace orvanta
