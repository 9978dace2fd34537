#include "server/http_daemon.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unordered_map>

namespace orvanta::server {
namespace {

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What the deadline watch knows of one open connection.
struct ConnectionState {
    int fd = -1;
    std::int64_t since = 0;  // ms: the connection's start or its last answer
    bool answering = false;  // an answer is queued or going out
    bool timedOut = false;
};

// One request under way on a connection.
struct RequestState {
    HttpRequest request;
    ConnectionState* connection = nullptr;
    std::size_t heldExcess = 0;  // bytes counted against the shared budget
    int refusal = 0;             // the status to answer once the body is in, or 0
    bool started = false;        // the head has been looked at
};

// Keeps a value's bytes as they came, NUL included (the library would end it there).
MHD_Result CollectHeader(void* cls, MHD_ValueKind, const char* key, std::size_t keySize, const char* value,
                         std::size_t valueSize) {
    static_cast<HttpRequest*>(cls)->headers.emplace_back(std::string(key, keySize),
                                                         value == nullptr ? std::string() : std::string(value, valueSize));
    return MHD_YES;
}

}  // namespace

struct HttpDaemon::Impl {
    std::size_t maxBodyBytes;
    std::atomic<int> requestMs{kRequestSeconds * 1000};
    Handler handler;
    ErrorHandler errorHandler;
    MHD_Daemon* daemon = nullptr;

    std::mutex mutex;  // guards connections and budgetUsed
    std::unordered_map<MHD_Connection*, ConnectionState*> connections;
    std::size_t budgetUsed = 0;

    std::mutex watchMutex;
    std::condition_variable watchWake;
    bool watching = false;
    std::thread watch;

    static ConnectionState* StateOf(MHD_Connection* connection) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        return info == nullptr ? nullptr : static_cast<ConnectionState*>(info->socket_context);
    }

    // Counts `bytes` more of a request against the shared budget; false when
    // they do not fit.
    bool Hold(RequestState& request, std::size_t totalBytes) {
        const std::size_t excess = totalBytes > kSmallRequestBytes ? totalBytes - kSmallRequestBytes : 0;
        if (excess <= request.heldExcess) return true;
        std::lock_guard<std::mutex> lock(mutex);
        if (budgetUsed + excess - request.heldExcess > kLargeRequestBudget) return false;
        budgetUsed += excess - request.heldExcess;
        request.heldExcess = excess;
        return true;
    }

    void Release(RequestState& request) {
        std::lock_guard<std::mutex> lock(mutex);
        budgetUsed -= request.heldExcess;
        request.heldExcess = 0;
    }

    MHD_Result Queue(MHD_Connection* connection, RequestState& request, const HttpResponse& answer) {
        MHD_Response* response = MHD_create_response_from_buffer(answer.body.size(), const_cast<char*>(answer.body.data()),
                                                                 MHD_RESPMEM_MUST_COPY);
        if (response == nullptr) return MHD_NO;
        for (const auto& [name, value] : answer.headers) MHD_add_response_header(response, name.c_str(), value.c_str());
        if (answer.close) MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
        if (request.connection != nullptr) {
            std::lock_guard<std::mutex> lock(mutex);
            request.connection->answering = true;
        }
        const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
        MHD_destroy_response(response);
        return queued;
    }

    MHD_Result Refuse(MHD_Connection* connection, RequestState& request, int status) {
        HttpResponse answer = errorHandler(status);
        answer.close = true;
        return Queue(connection, request, answer);
    }

    // The head is in: checks it before any body is read (so that no
    // "100 Continue" goes out for a refused request).
    int Check(MHD_Connection* connection, RequestState& request, const char* method, const char* url,
              const char* version) {
        request.request.method = method;
        request.request.path = url;
        request.request.minorVersion = std::string(version) == MHD_HTTP_VERSION_1_0 ? 0 : 1;
        MHD_get_connection_values_n(connection, MHD_HEADER_KIND, CollectHeader, &request.request);
        if (const int fault = FramingFault(request.request)) return fault;
        if (const std::string* length = request.request.Header("Content-Length")) {
            const unsigned long long declared = std::strtoull(length->c_str(), nullptr, 10);
            if (declared > maxBodyBytes) return 413;
            if (!Hold(request, static_cast<std::size_t>(declared))) return 503;
        }
        return 0;
    }

    MHD_Result Answer(MHD_Connection* connection, const char* url, const char* method, const char* version,
                      const char* upload, std::size_t* uploadSize, void** requestContext) {
        auto* request = static_cast<RequestState*>(*requestContext);
        if (request == nullptr) {
            request = new RequestState;
            request->connection = StateOf(connection);
            *requestContext = request;
        }
        if (!request->started) {
            request->started = true;
            if (const int status = Check(connection, *request, method, url, version)) {
                return Refuse(connection, *request, status);
            }
            return MHD_YES;
        }
        if (*uploadSize > 0) {
            if (request->refusal == 0) {
                std::string& body = request->request.body;
                if (body.size() + *uploadSize > maxBodyBytes) {
                    request->refusal = 413;
                } else if (!Hold(*request, body.size() + *uploadSize)) {
                    request->refusal = 503;
                } else {
                    body.append(upload, *uploadSize);
                }
                if (request->refusal != 0) {
                    body.clear();
                    body.shrink_to_fit();
                    Release(*request);
                }
            }
            *uploadSize = 0;
            return MHD_YES;
        }
        if (request->refusal != 0) return Refuse(connection, *request, request->refusal);
        return Queue(connection, *request, handler(request->request));
    }

    // The answer has gone out (or the connection ended): the next request's
    // time starts now.
    void Completed(void** requestContext) {
        auto* request = static_cast<RequestState*>(*requestContext);
        if (request == nullptr) return;
        Release(*request);
        if (request->connection != nullptr) {
            std::lock_guard<std::mutex> lock(mutex);
            request->connection->answering = false;
            request->connection->since = NowMs();
        }
        delete request;
        *requestContext = nullptr;
    }

    void Notify(MHD_Connection* connection, void** socketContext, MHD_ConnectionNotificationCode code) {
        std::lock_guard<std::mutex> lock(mutex);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* state = new ConnectionState;
            const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            state->fd = info == nullptr ? -1 : info->connect_fd;
            state->since = NowMs();
            *socketContext = state;
            connections[connection] = state;
        } else {
            connections.erase(connection);
            delete static_cast<ConnectionState*>(*socketContext);
            *socketContext = nullptr;
        }
    }

    // A request not complete in time gets 408; the socket is then shut, so
    // that the library sees its end and closes it. The library closes a
    // socket only after telling Notify, so under the lock the descriptor is
    // still this connection's.
    void Watch() {
        HttpResponse timeout = errorHandler(408);
        std::string bytes = "HTTP/1.1 408 Request Timeout\r\nConnection: close\r\nContent-Length: " +
                            std::to_string(timeout.body.size()) + "\r\n";
        for (const auto& [name, value] : timeout.headers) bytes += name + ": " + value + "\r\n";
        bytes += "\r\n" + timeout.body;
        std::unique_lock<std::mutex> watchLock(watchMutex);
        while (watching) {
            watchWake.wait_for(watchLock, std::chrono::milliseconds(200));
            const std::int64_t due = NowMs() - requestMs.load();
            std::lock_guard<std::mutex> lock(mutex);
            for (auto& [connection, state] : connections) {
                if (state->answering || state->timedOut || state->since > due || state->fd < 0) continue;
                state->timedOut = true;
                [[maybe_unused]] const ssize_t sent =
                    ::send(state->fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                ::shutdown(state->fd, SHUT_RDWR);
            }
        }
    }
};

HttpDaemon::HttpDaemon(std::size_t maxBodyBytes, Handler handler, ErrorHandler errorHandler)
    : impl_(std::make_unique<Impl>()) {
    impl_->maxBodyBytes = maxBodyBytes;
    impl_->handler = std::move(handler);
    impl_->errorHandler = std::move(errorHandler);
}

HttpDaemon::~HttpDaemon() {
    Stop();
    if (listenFd_ >= 0) ::close(listenFd_);
}

int HttpDaemon::Bind(const std::string& host, int port) {
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
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    return address.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port)
                                         : ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

bool HttpDaemon::Run() {
    if (listenFd_ < 0) return false;
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        if (stop_) return true;
    }
    Impl& impl = *impl_;
    const MHD_AccessHandlerCallback answer = [](void* cls, MHD_Connection* connection, const char* url,
                                                const char* method, const char* version, const char* upload,
                                                std::size_t* uploadSize, void** requestContext) {
        return static_cast<Impl*>(cls)->Answer(connection, url, method, version, upload, uploadSize, requestContext);
    };
    const MHD_RequestCompletedCallback completed = [](void* cls, MHD_Connection*, void** requestContext,
                                                      MHD_RequestTerminationCode) {
        static_cast<Impl*>(cls)->Completed(requestContext);
    };
    const MHD_NotifyConnectionCallback notify = [](void* cls, MHD_Connection* connection, void** socketContext,
                                                   MHD_ConnectionNotificationCode code) {
        static_cast<Impl*>(cls)->Notify(connection, socketContext, code);
    };
    // The path stays as sent (percent escapes and all), as the record and the routes expect.
    std::size_t (*const asSent)(void*, MHD_Connection*, char*) = [](void*, MHD_Connection*, char* text) {
        return std::strlen(text);
    };
    impl.daemon = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL, 0, nullptr, nullptr, answer, &impl,
        MHD_OPTION_LISTEN_SOCKET, listenFd_, MHD_OPTION_THREAD_POOL_SIZE, kWorkerThreads,
        MHD_OPTION_CONNECTION_LIMIT, kMaxConnections, MHD_OPTION_PER_IP_CONNECTION_LIMIT, kMaxPerAddress,
        MHD_OPTION_CONNECTION_TIMEOUT, kSilenceSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
        MHD_OPTION_UNESCAPE_CALLBACK, asSent, nullptr, MHD_OPTION_NOTIFY_COMPLETED, completed, &impl, MHD_OPTION_NOTIFY_CONNECTION, notify, &impl,
        MHD_OPTION_END);
    if (impl.daemon == nullptr) return false;
    listenFd_ = -1;  // the library closes it when it stops
    impl.watching = true;
    impl.watch = std::thread([&impl] { impl.Watch(); });
    {
        std::unique_lock<std::mutex> lock(stopMutex_);
        stopped_.wait(lock, [this] { return stop_; });
    }
    {
        std::lock_guard<std::mutex> lock(impl.watchMutex);
        impl.watching = false;
    }
    impl.watchWake.notify_all();
    impl.watch.join();
    MHD_stop_daemon(impl.daemon);
    impl.daemon = nullptr;
    return true;
}

void HttpDaemon::SetRequestDeadline(int milliseconds) { impl_->requestMs.store(milliseconds); }

void HttpDaemon::Stop() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stop_ = true;
    }
    stopped_.notify_all();
}

}  // namespace orvanta::server
