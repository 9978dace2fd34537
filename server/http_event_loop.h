// The reference server's HTTP connections, served by one thread with poll():
// no client, however slow, holds up another. Requests on one connection are
// answered in the order they came, also when they were sent back to back.
//
// Bounds: at most kMaxConnections open connections (more wait in the listen
// backlog); a request's head and body must arrive within kRequestSeconds of
// its first byte (else 408 and close); an idle connection is closed after
// kIdleSeconds; an answer the client does not take within kWriteSeconds is
// dropped with its connection. Memory: each connection buffers at most one
// request (the parser's limits) and its answers; beyond kSmallRequestBytes a
// request's bytes count against kLargeRequestBudget shared by all
// connections, and a request that would exceed it is refused with 503.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "server/http_request_parser.h"

namespace orvanta::server {

struct HttpResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;  // besides Content-Length and Connection
    std::string body;
    bool close = false;  // close the connection after this answer
};

class HttpEventLoop {
public:
    static constexpr int kMaxConnections = 128;
    static constexpr std::size_t kSmallRequestBytes = 128 * 1024;
    static constexpr std::size_t kLargeRequestBudget = 16 * 1024 * 1024;
    static constexpr int kRequestSeconds = 10;
    static constexpr int kIdleSeconds = 5;
    static constexpr int kWriteSeconds = 10;

    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    // The answer to bytes that are no acceptable request (400, 408, 413, ...).
    using ErrorHandler = std::function<HttpResponse(int status)>;

    HttpEventLoop(std::size_t maxBodyBytes, Handler handler, ErrorHandler errorHandler);
    ~HttpEventLoop();
    HttpEventLoop(const HttpEventLoop&) = delete;
    HttpEventLoop& operator=(const HttpEventLoop&) = delete;

    // Binds and listens; port 0 picks a free one. The bound port, or -1.
    int Bind(const std::string& host, int port);
    // Serves until Stop(); false when there is no bound socket.
    bool Run();
    // From any thread; Run() returns soon after (or at once when it starts later).
    void Stop();

private:
    struct Connection;
    void Accept();
    void ReadFrom(Connection& connection);
    void WriteTo(Connection& connection);
    void Answer(Connection& connection);
    void Queue(Connection& connection, const HttpResponse& response, bool headOnly);
    void CheckDeadlines(Connection& connection, std::int64_t now);

    std::size_t maxBodyBytes_;
    Handler handler_;
    ErrorHandler errorHandler_;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::vector<Connection> connections_;
};

// "200 OK", "404 Not Found" and so on.
std::string StatusLine(int status);

}  // namespace orvanta::server
