#include "server/http_event_loop.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace orvanta::server {

struct HttpEventLoop::Connection {
    int fd = -1;
    std::string in;
    std::string out;
    std::size_t outDone = 0;
    std::int64_t requestStarted = 0;  // ms; 0 while no request is under way
    std::int64_t lastActivity = 0;
    std::int64_t writeStalledSince = 0;
    bool continueSent = false;
    bool closeAfterWrite = false;
    bool lingering = false;  // answered and half-closed: input is drained, then closed
    bool readClosed = false;  // the client closed its side: only the answer still goes out
    bool dead = false;
};

namespace {

constexpr std::size_t kMaxPendingOutput = 4 * 1024 * 1024;

std::size_t Excess(std::size_t bytes) {
    return bytes > HttpEventLoop::kSmallRequestBytes ? bytes - HttpEventLoop::kSmallRequestBytes : 0;
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL, 0) | O_NONBLOCK); }

}  // namespace

std::string StatusLine(int status) {
    const char* reason = "Error";
    switch (status) {
    case 100: reason = "Continue"; break;
    case 200: reason = "OK"; break;
    case 400: reason = "Bad Request"; break;
    case 401: reason = "Unauthorized"; break;
    case 404: reason = "Not Found"; break;
    case 405: reason = "Method Not Allowed"; break;
    case 408: reason = "Request Timeout"; break;
    case 413: reason = "Payload Too Large"; break;
    case 415: reason = "Unsupported Media Type"; break;
    case 431: reason = "Request Header Fields Too Large"; break;
    case 500: reason = "Internal Server Error"; break;
    case 501: reason = "Not Implemented"; break;
    case 503: reason = "Service Unavailable"; break;
    case 505: reason = "HTTP Version Not Supported"; break;
    default: break;
    }
    return std::to_string(status) + " " + reason;
}

HttpEventLoop::HttpEventLoop(std::size_t maxBodyBytes, Handler handler, ErrorHandler errorHandler)
    : maxBodyBytes_(maxBodyBytes), handler_(std::move(handler)), errorHandler_(std::move(errorHandler)) {
    if (::pipe2(wakeFds_, O_CLOEXEC | O_NONBLOCK) != 0) wakeFds_[0] = wakeFds_[1] = -1;
}

HttpEventLoop::~HttpEventLoop() {
    for (Connection& connection : connections_) ::close(connection.fd);
    if (listenFd_ >= 0) ::close(listenFd_);
    for (int fd : wakeFds_) {
        if (fd >= 0) ::close(fd);
    }
}

int HttpEventLoop::Bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    for (addrinfo* a = found; a != nullptr && listenFd_ < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        // A quick restart may bind again; a port another server holds stays an error.
        int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 128) == 0) {
            listenFd_ = fd;
        } else {
            ::close(fd);
        }
    }
    ::freeaddrinfo(found);
    if (listenFd_ < 0) return -1;
    SetNonBlocking(listenFd_);
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    return address.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port)
                                         : ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

void HttpEventLoop::Stop() {
    stop_.store(true);
    if (wakeFds_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFds_[1], &byte, 1);
    }
}

bool HttpEventLoop::Run() {
    if (listenFd_ < 0) return false;
    std::vector<pollfd> polled;
    while (!stop_.load()) {
        polled.clear();
        polled.push_back(pollfd{wakeFds_[0], POLLIN, 0});
        const bool roomForMore = static_cast<int>(connections_.size()) < kMaxConnections;
        polled.push_back(pollfd{roomForMore ? listenFd_ : -1, POLLIN, 0});
        for (const Connection& c : connections_) {
            // A client that does not take its answers is not read from
            // either, so that its pipelined requests pile up nowhere.
            const std::size_t pending = c.out.size() - c.outDone;
            short events = c.readClosed || pending > kMaxPendingOutput ? 0 : POLLIN;
            if (pending > 0) events |= POLLOUT;
            polled.push_back(pollfd{c.fd, events, 0});
        }
        const int ready = ::poll(polled.data(), polled.size(), 100);
        if (ready < 0 && errno != EINTR) return false;
        if (stop_.load()) break;
        if (polled[1].revents & POLLIN) Accept();
        const std::int64_t now = NowMs();
        // Connections accepted just now are polled from the next round on.
        for (std::size_t i = 0; i + 2 < polled.size(); ++i) {
            Connection& c = connections_[i];
            const short revents = polled[i + 2].revents;
            if (revents & (POLLIN | POLLHUP | POLLERR)) ReadFrom(c);
            if (!c.dead && (revents & POLLOUT)) WriteTo(c);
            if (!c.dead) CheckDeadlines(c, now);
        }
        for (std::size_t i = 0; i < connections_.size();) {
            if (connections_[i].dead) {
                ::close(connections_[i].fd);
                connections_[i] = std::move(connections_.back());
                connections_.pop_back();
            } else {
                ++i;
            }
        }
    }
    return true;
}

void HttpEventLoop::Accept() {
    while (static_cast<int>(connections_.size()) < kMaxConnections) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        Connection connection;
        connection.fd = fd;
        connection.lastActivity = NowMs();
        connections_.push_back(std::move(connection));
    }
}

void HttpEventLoop::ReadFrom(Connection& c) {
    char buffer[65536];
    const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
    if (n == 0 && c.outDone < c.out.size()) {
        // The client closed its side: its answers still go out, then the end.
        c.readClosed = true;
        c.closeAfterWrite = true;
        return;
    }
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        c.dead = true;
        return;
    }
    if (n < 0) return;
    c.lastActivity = NowMs();
    if (c.lingering) return;  // drained and dropped
    if (c.requestStarted == 0) c.requestStarted = c.lastActivity;
    if (c.in.size() + static_cast<std::size_t>(n) > kSmallRequestBytes) {
        // Large requests share one budget; one that would exceed it is
        // refused rather than held in memory.
        std::size_t large = Excess(c.in.size() + static_cast<std::size_t>(n));
        for (const Connection& other : connections_) {
            if (&other != &c) large += Excess(other.in.size());
        }
        if (large > kLargeRequestBudget) {
            HttpResponse response = errorHandler_(503);
            response.close = true;
            Queue(c, response, false);
            return;
        }
    }
    c.in.append(buffer, static_cast<std::size_t>(n));
    Answer(c);
}

void HttpEventLoop::Answer(Connection& c) {
    while (!c.lingering && !c.closeAfterWrite) {
        ParseStep step = ParseHttpRequest(c.in, maxBodyBytes_);
        if (step.kind == ParseStep::kNeedMore) {
            if (step.headComplete && step.expectsContinue && !c.continueSent) {
                c.out += "HTTP/1.1 100 Continue\r\n\r\n";
                c.continueSent = true;
                WriteTo(c);
            }
            if (c.in.empty()) c.requestStarted = 0;
            return;
        }
        if (step.kind == ParseStep::kError) {
            HttpResponse response = errorHandler_(step.status);
            response.close = true;
            Queue(c, response, false);
            return;
        }
        c.in.erase(0, step.consumed);
        c.continueSent = false;
        c.requestStarted = c.in.empty() ? 0 : NowMs();
        HttpResponse response = handler_(step.request);
        if (!step.request.KeepsAlive()) response.close = true;
        Queue(c, response, step.request.method == "HEAD");
    }
}

void HttpEventLoop::Queue(Connection& c, const HttpResponse& response, bool headOnly) {
    std::string head = "HTTP/1.1 " + StatusLine(response.status) + "\r\n";
    for (const auto& header : response.headers) head += header.first + ": " + header.second + "\r\n";
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (response.close) head += "Connection: close\r\n";
    head += "\r\n";
    if (c.outDone == c.out.size()) {
        c.out.clear();
        c.outDone = 0;
    }
    c.out += head;
    if (!headOnly) c.out += response.body;
    if (response.close) {
        c.closeAfterWrite = true;
        c.in.clear();
    }
    WriteTo(c);
}

void HttpEventLoop::WriteTo(Connection& c) {
    while (c.outDone < c.out.size()) {
        const ssize_t n = ::send(c.fd, c.out.data() + c.outDone, c.out.size() - c.outDone, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (c.writeStalledSince == 0) c.writeStalledSince = NowMs();
                return;
            }
            if (errno == EINTR) continue;
            c.dead = true;
            return;
        }
        c.outDone += static_cast<std::size_t>(n);
        c.writeStalledSince = 0;
    }
    if (c.closeAfterWrite && c.readClosed) {
        c.dead = true;
        return;
    }
    if (c.closeAfterWrite && !c.lingering) {
        // Half-close and drain what the client still sends, so that the
        // answer is not lost to a reset when unread input is left behind.
        ::shutdown(c.fd, SHUT_WR);
        c.lingering = true;
        c.lastActivity = NowMs();
    }
}

void HttpEventLoop::CheckDeadlines(Connection& c, std::int64_t now) {
    if (c.lingering) {
        if (now - c.lastActivity > 2000) c.dead = true;
        return;
    }
    if (c.writeStalledSince != 0 && now - c.writeStalledSince > kWriteSeconds * 1000) {
        c.dead = true;
        return;
    }
    if (c.requestStarted != 0 && now - c.requestStarted > kRequestSeconds * 1000 && !c.closeAfterWrite) {
        HttpResponse response = errorHandler_(408);
        response.close = true;
        Queue(c, response, false);
        return;
    }
    if (c.requestStarted == 0 && c.outDone == c.out.size() && now - c.lastActivity > kIdleSeconds * 1000) {
        c.dead = true;
    }
}

}  // namespace orvanta::server
