// The reference server's HTTP connections, served by libmicrohttpd: one
// epoll polling thread per worker of a small pool, which also runs the
// handler (the analysis), so a slow client holds up no one.
//
// Bounds, most of them the library's own: at most kMaxConnections open
// connections and kMaxPerAddress from one address; kConnectionMemory bytes
// of buffer per connection (a longer head gets 431); a connection silent
// for kSilenceSeconds is closed. Ours: a request must be complete within
// kRequestSeconds of the connection's start or of the previous answer, else
// 408 and close (trickling bytes do not extend it); a body is at most
// maxBodyBytes (413); beyond kSmallRequestBytes a body counts against
// kLargeRequestBudget shared by all connections, and a request that would
// exceed it is refused with 503. Heads that frame their body ambiguously get
// 400 and close (FramingFault in http_exchange.h).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "server/http_exchange.h"

namespace orvanta::server {

class HttpDaemon {
public:
    static constexpr unsigned kMaxConnections = 512;
    static constexpr unsigned kMaxPerAddress = 64;
    static constexpr unsigned kWorkerThreads = 4;
    static constexpr std::size_t kConnectionMemory = 64 * 1024;
    static constexpr unsigned kSilenceSeconds = 15;
    static constexpr std::size_t kSmallRequestBytes = 128 * 1024;
    static constexpr std::size_t kLargeRequestBudget = 16 * 1024 * 1024;
    static constexpr int kRequestSeconds = 10;

    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    // The answer to a request refused before it reached the handler (400, 408, 413, 503).
    using ErrorHandler = std::function<HttpResponse(int status)>;

    HttpDaemon(std::size_t maxBodyBytes, Handler handler, ErrorHandler errorHandler);
    ~HttpDaemon();
    HttpDaemon(const HttpDaemon&) = delete;
    HttpDaemon& operator=(const HttpDaemon&) = delete;

    // Binds and listens; port 0 picks a free one. The bound port, or -1.
    int Bind(const std::string& host, int port);
    // Serves until Stop(); false when there is no bound socket or the library
    // could not start. Returns at once when Stop() came first.
    bool Run();
    // From any thread; Run() returns soon after (or at once when it starts later).
    void Stop();

    // Shortens (or lengthens) the time a request may take: for tests.
    void SetRequestDeadline(int milliseconds);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
    int listenFd_ = -1;
    std::mutex stopMutex_;
    std::condition_variable stopped_;
    bool stop_ = false;
};

}  // namespace orvanta::server
