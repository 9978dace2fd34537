// Server addresses as the client uses them: only absolute http and https
// addresses with a host are posted to, and a redirect is followed only to the
// origin (scheme, host and port) the request was sent to, so that the
// credentials in the header lines and the form never reach another host and
// never travel in clear text after an https request. One judge for the
// window and both HTTP posters of orvanta-query.
#pragma once

#include <string>

namespace orvanta {

struct HttpAddress {
    std::string scheme;  // "http" or "https", lower case
    std::string host;    // lower case; an IPv6 address keeps its brackets
    int port = 0;        // the given port, or 80 / 443
    std::string target;  // path and query, at least "/"
};

// Parses an absolute http or https address with a host ("http://h:8080/a?b").
// False for anything else: no scheme ("127.0.0.1:47010/analysis"), another
// scheme, no host, a bad port, blanks or control characters.
bool ParseHttpAddress(const std::string& text, HttpAddress* address);

bool SameOrigin(const HttpAddress& a, const HttpAddress& b);

// What to do with a redirect from `current` to `location` (the Location
// header: absolute, scheme-relative, or a path relative to `current`).
struct RedirectVerdict {
    bool follow = false;
    std::string target;   // the absolute address to go to when followed
    std::string refusal;  // why not, in English, when not followed
};
RedirectVerdict JudgeRedirect(const std::string& current, const std::string& location);

// Why an answer with this HTTP status is no page to show, in English, or
// empty when it is one (errors of 400 and above are the caller's to report):
// 204 and 205 carry no page, and a redirect that reached the caller was not
// followed (it had no Location).
std::string NoPageStatus(long status);

// The most redirects followed for one request.
constexpr int kMaxRedirects = 10;

}  // namespace orvanta
