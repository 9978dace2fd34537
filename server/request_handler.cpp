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

Reply Error(int status, std::string_view title, std::string_view message, std::string field = {}) {
    Reply reply;
    reply.status = status;
    reply.page = RenderErrorPage(status, title, message, field);
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
    if (request.bodyTooLarge) {
        return Error(413, "请求过大",
                     "请求体超过 " + std::to_string(kMaxBodyBytes / 1024) + " KiB，服务器不予处理。");
    }
    const bool userOk = SameSecret(request.userId, credentials.user);
    const bool passwordOk = SameSecret(request.password, credentials.password);
    if (!userOk || !passwordOk) {
        return Error(401, "身份验证失败",
                     "用户名或密码不正确（请求头 User-ID 和 Password）。请检查客户端配置文件中的 userID 和 password。");
    }
    if (!request.contentType || !IsFormContentType(*request.contentType)) {
        return Error(415, "不支持的内容类型",
                     "请求的内容类型应为 application/x-www-form-urlencoded，实际为“" +
                         (request.contentType ? *request.contentType : std::string("（无）")) + "”。",
                     "Content-Type");
    }
    if (!request.apiVersion || Trim(*request.apiVersion) != kApiVersion) {
        return Error(400, "接口版本不符",
                     std::string("请求头 Api-Version 应为 ") + kApiVersion + "，实际为“" +
                         (request.apiVersion ? *request.apiVersion : std::string("（无）")) + "”。",
                     "Api-Version");
    }
    const AnalysisFormResult form = ParseAnalysisForm(request.body);
    if (!form.ok) {
        std::string message = "表单有误";
        if (!form.field.empty()) {
            message += "：字段 " + form.field;
        }
        message += "：" + form.message + "。";
        return Error(400, "请求格式错误", message, form.field);
    }
    Reply reply;
    reply.status = 200;
    reply.page = RenderAnswerPage(form.form);
    return reply;
}

}  // namespace orvanta::server
