// Server addresses as the client uses them: only absolute http and https
// addresses with a host are posted to, and a redirect is followed only to the
// origin (scheme, host and port) the request was sent to, so that the
// credentials in the header lines and the form never reach another host and
// never travel in clear text after an https request. One judge for the
// window and both HTTP posters of orvanta-query.
#pragma once

#include <functional>
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

// One request of a chain, as an HTTP poster made it.
struct HttpExchange {
    bool ok = false;       // an answer arrived (else the poster has said why)
    long status = 0;
    std::string location;  // its Location header, when it had one
};

// Sends a request along its redirects: `perform(address, post)` makes one
// request (post false: a GET without the form). A redirect is followed only
// as JudgeRedirect allows, 307 and 308 with the form again, the others as a
// GET, as a browser does. Returns the reason in English when the chain ends
// in no page (a refused redirect, too many, 204, a redirect without
// Location), else empty; *status is the last status seen.
std::string FollowRedirects(const std::string& address,
                            const std::function<HttpExchange(const std::string& address, bool post)>& perform,
                            long* status);

}  // namespace orvanta
