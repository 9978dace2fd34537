#include "server/analysis_server.h"

#include <cstdio>
#include <exception>

#include "server/answer_page.h"
#include "server/http_daemon.h"

namespace orvanta::server {
namespace {

std::optional<std::string> Header(const HttpRequest& request, const char* name) {
    const std::string* value = request.Header(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return *value;
}

bool IsAnalysisPath(const std::string& path) { return path == "/" || path == "/analysis"; }

bool Carries(const HttpRequest& request, const char* method) { return request.method == method; }

}  // namespace

AnalysisServer::AnalysisServer(Credentials credentials, RequestLog* log)
    : credentials_(std::move(credentials)),
      log_(log),
      http_(std::make_unique<HttpDaemon>(
          kMaxBodyBytes, [this](const HttpRequest& request) { return Handle(request); },
          [this](int status) { return Refuse(status); })) {}

AnalysisServer::~AnalysisServer() { Stop(); }

int AnalysisServer::Bind(const std::string& host, int port) {
    host_ = host;
    port_ = http_->Bind(host, port);
    return port_;
}

bool AnalysisServer::Run() {
    if (port_ < 0) {
        return false;
    }
    return http_->Run();
}

void AnalysisServer::Stop() { http_->Stop(); }

void AnalysisServer::SetRequestDeadline(int milliseconds) { http_->SetRequestDeadline(milliseconds); }

std::string AnalysisServer::BaseUrl() const {
    const bool ipv6 = host_.find(':') != std::string::npos;
    return "http://" + (ipv6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
}

void AnalysisServer::Record(const HttpRequest& request) {
    if (log_ == nullptr) {
        return;
    }
    RecordedRequest record;
    record.method = request.method;
    record.path = request.path;
    for (const auto& [name, value] : request.headers) {
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
    record.body = request.body;
    if (!log_->Append(record) && !logFailureReported_.exchange(true)) {
        std::fprintf(stderr, "orvanta-server: cannot write to the request record file\n");
    }
}

HttpResponse AnalysisServer::Page(int status, const std::string& page) {
    HttpResponse response;
    response.status = status;
    response.headers.emplace_back("Cache-Control", "no-store");
    response.headers.emplace_back("Content-Type", "text/html; charset=utf-8");
    response.body = page;
    served_.fetch_add(1);
    return response;
}

HttpResponse AnalysisServer::Refuse(int status) {
    switch (status) {
        case 408:
            return Page(status, RenderErrorPage(408, "请求超时", "请求没有在规定时间内完整收到。"));
        case 413:
            return Page(status, RenderErrorPage(
                                    413, "请求过大",
                                    "请求体超过 " + std::to_string(kMaxBodyBytes / 1024) + " KiB，服务器不予处理。"));
        case 431:
            return Page(status, RenderErrorPage(431, "请求头过大", "请求头过长或过多。"));
        case 503:
            return Page(status, RenderErrorPage(503, "服务器繁忙", "同时收到的大请求过多，请稍后重试。"));
        default:
            return Page(status, RenderErrorPage(status, "请求无法处理", "服务器无法处理这个请求。"));
    }
}

HttpResponse AnalysisServer::Handle(const HttpRequest& request) {
    const PageLanguage l = LanguageOf(Header(request, "Accept-Language"));
    try {
        Record(request);
        if (Carries(request, "GET") || Carries(request, "HEAD")) {
            if (request.path == "/") {
                return Page(200, RenderStatusPage(BaseUrl(), served_.load(), l));
            }
            if (request.path == "/analysis") {
                return NotAllowed(l, "POST");
            }
            return NotFound(l);
        }
        if (Carries(request, "POST") || Carries(request, "PUT") || Carries(request, "PATCH") ||
            Carries(request, "DELETE")) {
            return HandleWithBody(request, l);
        }
        return NotAllowed(l, "GET, POST");
    } catch (const std::exception&) {
        HttpResponse response =
            Page(500, RenderErrorPage(500, Tr(l, "服务器内部错误", "Internal server error"),
                                      Tr(l, "处理请求时出错。", "The request could not be handled."), {}, l));
        response.close = true;
        return response;
    }
}

HttpResponse AnalysisServer::NotAllowed(PageLanguage l, const char* allow) {
    HttpResponse response = Page(
        405,
        RenderErrorPage(405, Tr(l, "请求方法不符", "Method not allowed"),
                        std::string(allow) == "POST"
                            ? Tr(l, "分析地址只接受 POST 请求。", "The analysis address takes POST requests only.")
                            : Tr(l, "服务器只接受 GET 和 POST 请求。", "The server takes GET and POST requests only."),
                        {}, l));
    response.headers.emplace_back("Allow", allow);
    return response;
}

HttpResponse AnalysisServer::NotFound(PageLanguage l) {
    return Page(404, RenderErrorPage(404, Tr(l, "页面不存在", "Page not found"),
                                     Tr(l, "服务器上没有这个地址。分析请求请发往 /analysis。",
                                        "The server has no such address. Send analysis requests to /analysis."),
                                     {}, l));
}

HttpResponse AnalysisServer::HandleWithBody(const HttpRequest& request, PageLanguage l) {
    if (request.method != "POST") {
        return NotAllowed(l, IsAnalysisPath(request.path) ? "POST" : "GET, POST");
    }
    if (!IsAnalysisPath(request.path)) {
        return NotFound(l);
    }
    AnalysisRequest analysis;
    analysis.contentType = Header(request, "Content-Type");
    analysis.apiVersion = Header(request, "Api-Version");
    analysis.userId = Header(request, "User-ID");
    analysis.password = Header(request, "Password");
    analysis.body = request.body;
    analysis.language = l;
    const Reply reply = AnswerAnalysisRequest(analysis, credentials_);
    HttpResponse response = Page(reply.status, reply.page);
    if (reply.status == 401) {
        response.headers.emplace_back("WWW-Authenticate", "Orvanta-Headers realm=\"orvanta\"");
    }
    return response;
}

}  // namespace orvanta::server
