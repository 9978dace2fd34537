#include "server/request_handler.h"

#include <cctype>

#include "server/analysis_form.h"
#include "server/answer_page.h"

namespace orvanta::server {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Compares without stopping at the first difference, so the time taken does
// not tell how much of a guessed password was right.
bool SameSecret(const std::optional<std::string>& given, const std::string& expected) {
    if (!given) {
        return false;
    }
    const std::string& g = *given;
    unsigned int difference = g.size() == expected.size() ? 0u : 1u;
    for (std::size_t i = 0; i < g.size(); ++i) {
        const unsigned char e = i < expected.size() ? static_cast<unsigned char>(expected[i]) : 0;
        difference |= static_cast<unsigned char>(g[i]) ^ e;
    }
    return difference == 0;
}

Reply Error(PageLanguage language, int status, std::string_view title, std::string_view message,
            std::string field = {}) {
    Reply reply;
    reply.status = status;
    reply.page = RenderErrorPage(status, title, message, field, language);
    reply.badField = std::move(field);
    return reply;
}

}  // namespace

bool IsFormContentType(std::string_view value) {
    const std::size_t semicolon = value.find(';');
    const std::string_view media = Trim(value.substr(0, semicolon));
    constexpr std::string_view kForm = "application/x-www-form-urlencoded";
    if (media.size() != kForm.size()) {
        return false;
    }
    for (std::size_t i = 0; i < media.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(media[i])) != kForm[i]) {
            return false;
        }
    }
    return true;
}

Reply AnswerAnalysisRequest(const AnalysisRequest& request, const Credentials& credentials) {
    const PageLanguage l = request.language;
    if (request.bodyTooLarge) {
        return Error(l, 413, Tr(l, "请求过大", "Request too large"),
                     Tr(l, "请求体超过 ", "The request body is larger than ") + std::to_string(kMaxBodyBytes / 1024) +
                         Tr(l, " KiB，服务器不予处理。", " KiB; the server does not take it."));
    }
    const bool userOk = SameSecret(request.userId, credentials.user);
    const bool passwordOk = SameSecret(request.password, credentials.password);
    if (!userOk || !passwordOk) {
        return Error(
            l, 401, Tr(l, "身份验证失败", "Authentication failed"),
            Tr(l, "用户名或密码不正确（请求头 User-ID 和 Password）。请检查客户端配置文件中的 userID 和 password。",
               "The user ID or password is wrong (request headers User-ID and Password). Check userID and "
               "password in the client's configuration file."));
    }
    const std::string none = Tr(l, "（无）", "(none)");
    if (!request.contentType || !IsFormContentType(*request.contentType)) {
        return Error(l, 415, Tr(l, "不支持的内容类型", "Unsupported content type"),
                     Tr(l, "请求的内容类型应为 application/x-www-form-urlencoded，实际为“",
                        "The content type must be application/x-www-form-urlencoded, not \"") +
                         (request.contentType ? *request.contentType : none) + Tr(l, "”。", "\"."),
                     "Content-Type");
    }
    if (!request.apiVersion || Trim(*request.apiVersion) != kApiVersion) {
        return Error(l, 400, Tr(l, "接口版本不符", "Wrong interface version"),
                     Tr(l, "请求头 Api-Version 应为 ", "The request header Api-Version must be ") + kApiVersion +
                         Tr(l, "，实际为“", ", not \"") + (request.apiVersion ? *request.apiVersion : none) +
                         Tr(l, "”。", "\"."),
                     "Api-Version");
    }
    const AnalysisFormResult form = ParseAnalysisForm(request.body);
    if (!form.ok) {
        std::string message = Tr(l, "表单有误", "The form is malformed");
        if (!form.field.empty()) {
            message += Tr(l, "：字段 ", ": field ") + form.field;
        }
        message += Tr(l, "：", ": ") + Tr(l, form.message, form.messageEnglish) + Tr(l, "。", ".");
        return Error(l, 400, Tr(l, "请求格式错误", "Malformed request"), message, form.field);
    }
    Reply reply;
    reply.status = 200;
    reply.page = RenderAnswerPage(form.form, l);
    return reply;
}

}  // namespace orvanta::server
