// The HTTP side of the reference analysis server.
//
//   POST /analysis and POST /   the analysis (see request_handler.h)
//   GET /                       a short status page
//   anything else               a 404 or 405 page
//
// Every request is handed to the request log, when there is one, before it is
// answered. Connections are served by libmicrohttpd (http_daemon.h), so slow
// clients hold up no one and pipelined requests are answered in order.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "server/request_handler.h"
#include "server/request_log.h"

namespace orvanta::server {

class HttpDaemon;
struct HttpRequest;
struct HttpResponse;

class AnalysisServer {
public:
    // `log` may be null; when given it must outlive the server.
    AnalysisServer(Credentials credentials, RequestLog* log);
    ~AnalysisServer();
    AnalysisServer(const AnalysisServer&) = delete;
    AnalysisServer& operator=(const AnalysisServer&) = delete;

    // Binds the listening socket; port 0 picks a free one. Returns the bound
    // port, or -1 when binding failed.
    int Bind(const std::string& host, int port);
    // Serves until Stop(). False when the server could not run. Returns at
    // once when Stop() came first.
    bool Run();
    // Ends Run() from any thread, also when Run() is only about to start.
    // Safe to call more than once.
    void Stop();

    // The time a request may take (10 s unless set): tests shorten it.
    void SetRequestDeadline(int milliseconds);

    // "http://HOST:PORT" of the bound socket.
    std::string BaseUrl() const;
    std::uint64_t RequestsServed() const { return served_.load(); }

private:
    HttpResponse Handle(const HttpRequest& request);
    HttpResponse HandleWithBody(const HttpRequest& request, PageLanguage language);
    HttpResponse NotAllowed(PageLanguage language, const char* allow);
    HttpResponse NotFound(PageLanguage language);
    HttpResponse Refuse(int status);
    void Record(const HttpRequest& request);
    HttpResponse Page(int status, const std::string& page);

    Credentials credentials_;
    RequestLog* log_;
    std::unique_ptr<HttpDaemon> http_;
    std::string host_;
    int port_ = -1;
    std::atomic<std::uint64_t> served_{0};
    std::atomic<bool> logFailureReported_{false};
};

}  // namespace orvanta::server
