#include "raw_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <regex>

namespace orvanta::server::testing {

int ConnectFrom(int port, const std::string& source, int timeoutMs) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0 &&
        connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        return fd;
    }
    close(fd);
    return -1;
}

bool SendAll(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

RawReplies ReadReplies(int fd, std::size_t count, int quietMs) {
    RawReplies result;
    std::string stream;
    std::size_t finals = 0;
    std::size_t start = 0;
    const std::regex statusLine("^HTTP/1\\.[01] ([0-9]{3})");
    const std::regex length("\r\nContent-Length: ([0-9]+)\r\n", std::regex::icase);
    for (;;) {
        // Take every complete answer that has arrived.
        for (;;) {
            const std::size_t headEnd = stream.find("\r\n\r\n", start);
            if (headEnd == std::string::npos) break;
            const std::string head = stream.substr(start, headEnd + 2 - start);
            std::smatch m;
            if (!std::regex_search(head, m, statusLine)) break;
            const int status = std::stoi(m[1].str());
            std::size_t end = headEnd + 4;
            if (status >= 200 && stream.compare(end, 7, "HTTP/1.") != 0 && std::regex_search(head, m, length)) {
                end += std::stoul(m[1].str());
            }
            if (stream.size() < end) break;
            result.statuses.push_back(status);
            finals += status >= 200 ? 1 : 0;
            start = end;
        }
        if (finals >= count) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, quietMs) <= 0) return result;
        }
        char buffer[65536];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET)) {
            result.closed = true;
            return result;
        }
        if (n < 0) return result;
        stream.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace orvanta::server::testing
