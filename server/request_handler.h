// What the server answers to an analysis request, decided apart from the
// HTTP library: the checks of the headers and the form in their order, and
// the page for each outcome.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "server/page_language.h"

namespace orvanta::server {

constexpr std::size_t kMaxBodyBytes = 1024 * 1024;
constexpr const char* kApiVersion = "1.0.0";

struct Credentials {
    std::string user;
    std::string password;
};

// The parts of a received analysis request that the answer depends on; an
// absent header is std::nullopt.
struct AnalysisRequest {
    std::optional<std::string> contentType;
    std::optional<std::string> apiVersion;
    std::optional<std::string> userId;
    std::optional<std::string> password;
    std::string body;
    bool bodyTooLarge = false;  // the body was cut off at kMaxBodyBytes
    PageLanguage language = PageLanguage::kChinese;  // of the answer page
};

struct Reply {
    int status = 200;
    std::string page;       // UTF-8 HTML
    std::string badField;   // for 400: the field or header at fault
};

// True for "application/x-www-form-urlencoded", in any letter case, with or
// without parameters such as "; charset=UTF-8".
bool IsFormContentType(std::string_view value);

// Checks, in this order: body size (413), credentials (401), Content-Type
// (415), Api-Version (400), then the form (400 naming the field); a request
// that passes gets 200 and the analysis page.
Reply AnswerAnalysisRequest(const AnalysisRequest& request, const Credentials& credentials);

}  // namespace orvanta::server
