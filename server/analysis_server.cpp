#include "server/analysis_server.h"

#include <httplib.h>

#include <sys/socket.h>

#include <cctype>
#include <chrono>
#include <thread>
#include <cstdio>
#include <exception>

#include "server/answer_page.h"

namespace orvanta::server {
namespace {

// Headers that cpp-httplib adds to a request itself; no client sent them.
bool IsLibraryHeader(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

std::optional<std::string> Header(const httplib::Request& req, const char* name) {
    if (!req.has_header(name)) {
        return std::nullopt;
    }
    return req.get_header_value(name);
}

bool SameHeaderName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool IsAnalysisPath(const std::string& path) { return path == "/" || path == "/analysis"; }

struct BodyRead {
    std::string body;
    bool tooLarge = false;
    bool failed = false;
};

// Reads the body through the library's content reader, never keeping more
// than kMaxBodyBytes. The reader also takes chunked and compressed bodies.
BodyRead ReadBody(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
    BodyRead read;
    if (req.is_multipart_form_data()) {
        return read;  // never an analysis form; left unread, the connection is closed
    }
    const bool complete = reader([&](const char* data, std::size_t length) {
        if (read.body.size() + length > kMaxBodyBytes) {
            read.tooLarge = true;
            return false;
        }
        read.body.append(data, length);
        return true;
    });
    if (!complete) {
        if (res.status == 413) {
            read.tooLarge = true;
        }
        read.failed = !read.tooLarge;
    }
    return read;
}

}  // namespace

AnalysisServer::AnalysisServer(Credentials credentials, RequestLog* log)
    : credentials_(std::move(credentials)), log_(log), server_(std::make_unique<httplib::Server>()) {
    // The library's own limit catches a declared Content-Length above the
    // limit before any of it is kept; ReadBody catches the rest.
    server_->set_payload_max_length(kMaxBodyBytes);
    // The library's default sets SO_REUSEPORT, with which a second server
    // binds the same port without error and the kernel splits the clients
    // between the two. SO_REUSEADDR alone still allows a quick restart but
    // makes a taken port an error.
    server_->set_socket_options([](int sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    const auto withBody = [this](const httplib::Request& req, httplib::Response& res,
                                 const httplib::ContentReader& reader) {
        HandleWithBody(req, res, reader);
    };
    server_->Post(".*", withBody);
    server_->Put(".*", withBody);
    server_->Patch(".*", withBody);
    server_->Delete(".*", withBody);

    server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        Record(req, req.body);
        if (req.path == "/") {
            Send(res, 200, RenderStatusPage(BaseUrl(), served_.load()));
        } else if (req.path == "/analysis") {
            res.set_header("Allow", "POST");
            Send(res, 405, RenderErrorPage(405, "请求方法不符", "分析地址只接受 POST 请求。"));
        } else {
            Send(res, 404, RenderErrorPage(404, "页面不存在", "服务器上没有这个地址。分析请求请发往 /analysis。"));
        }
    });
    server_->Options(".*", [this](const httplib::Request& req, httplib::Response& res) {
        Record(req, req.body);
        res.set_header("Allow", "GET, POST");
        Send(res, 405, RenderErrorPage(405, "请求方法不符", "服务器只接受 GET 和 POST 请求。"));
    });

    // Requests the library answers itself (malformed request lines, unknown
    // methods, over-long headers) get a Chinese page too.
    server_->set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) {
            return httplib::Server::HandlerResponse::Unhandled;
        }
        res.set_content(RenderErrorPage(res.status, "请求无法处理", "服务器无法处理这个请求。"),
                        "text/html; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
    }));
    server_->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(RenderErrorPage(500, "服务器内部错误", "处理请求时出错。"), "text/html; charset=utf-8");
    });
}

AnalysisServer::~AnalysisServer() { Stop(); }

int AnalysisServer::Bind(const std::string& host, int port) {
    host_ = host;
    if (port == 0) {
        port_ = server_->bind_to_any_port(host);
    } else {
        port_ = server_->bind_to_port(host, port) ? port : -1;
    }
    if (port_ < 0) {
        port_ = -1;
    }
    return port_;
}

bool AnalysisServer::Run() {
    runEntered_.store(true);
    if (port_ < 0 || stopRequested_.load()) {
        runFinished_.store(true);
        return port_ >= 0;
    }
    const bool ran = server_->listen_after_bind();
    runFinished_.store(true);
    return ran;
}

void AnalysisServer::Stop() {
    // The library's stop() does nothing before its loop runs, so a stop that
    // comes while Run() is starting waits until the loop is there. Run()
    // checks the request after announcing itself, so one of the two sides
    // always sees the other.
    stopRequested_.store(true);
    if (!runEntered_.load()) {
        return;
    }
    while (!runFinished_.load()) {
        if (server_->is_running()) {
            if (!stopDone_.exchange(true)) {
                server_->stop();
            }
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::string AnalysisServer::BaseUrl() const {
    const bool ipv6 = host_.find(':') != std::string::npos;
    return "http://" + (ipv6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
}

void AnalysisServer::Record(const httplib::Request& req, const std::string& body) {
    if (log_ == nullptr) {
        return;
    }
    RecordedRequest record;
    record.method = req.method;
    record.path = req.path;
    for (const auto& [name, value] : req.headers) {
        if (IsLibraryHeader(name)) {
            continue;
        }
        bool merged = false;
        for (auto& [seenName, seenValue] : record.headers) {
            if (SameHeaderName(seenName, name)) {
                seenValue += ", " + value;
                merged = true;
                break;
            }
        }
        if (!merged) {
            record.headers.emplace_back(name, value);
        }
    }
    record.body = body;
    if (!log_->Append(record) && !logFailureReported_.exchange(true)) {
        std::fprintf(stderr, "orvanta-server: cannot write to the request record file\n");
    }
}

void AnalysisServer::Send(httplib::Response& res, int status, const std::string& page) {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(page, "text/html; charset=utf-8");
    served_.fetch_add(1);
}

void AnalysisServer::HandleWithBody(const httplib::Request& req, httplib::Response& res,
                                    const httplib::ContentReader& reader) {
    try {
        const BodyRead read = ReadBody(req, res, reader);
        Record(req, read.body);
        if (read.failed || read.tooLarge || req.is_multipart_form_data()) {
            // Part of the body may still wait on the socket: do not read it as a next request.
            res.set_header("Connection", "close");
        }
        if (req.method != "POST") {
            res.set_header("Allow", IsAnalysisPath(req.path) ? "POST" : "GET, POST");
            Send(res, 405, RenderErrorPage(405, "请求方法不符", "分析地址只接受 POST 请求。"));
            return;
        }
        if (!IsAnalysisPath(req.path)) {
            Send(res, 404, RenderErrorPage(404, "页面不存在", "服务器上没有这个地址。分析请求请发往 /analysis。"));
            return;
        }
        if (read.failed) {
            Send(res, 400, RenderErrorPage(400, "请求体不完整", "请求体没有完整收到。"));
            return;
        }
        AnalysisRequest request;
        request.contentType = Header(req, "Content-Type");
        request.apiVersion = Header(req, "Api-Version");
        request.userId = Header(req, "User-ID");
        request.password = Header(req, "Password");
        request.body = read.body;
        request.bodyTooLarge = read.tooLarge;
        const Reply reply = AnswerAnalysisRequest(request, credentials_);
        if (reply.status == 401) {
            res.set_header("WWW-Authenticate", "Orvanta-Headers realm=\"orvanta\"");
        }
        Send(res, reply.status, reply.page);
    } catch (const std::exception&) {
        res.set_header("Connection", "close");
        Send(res, 500, RenderErrorPage(500, "服务器内部错误", "处理请求时出错。"));
    }
}

}  // namespace orvanta::server
