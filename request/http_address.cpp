#include "request/http_address.h"

#include "request/shown_text.h"

#include <cctype>

namespace orvanta {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool HasUnsafeCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if (c <= 0x20 || c == 0x7F) return true;
    }
    return false;
}

// Splits "host[:port]" (the part after "//" and any "user@"); false when the
// host is empty or the port is not a number of 1 to 65535.
bool SplitAuthority(const std::string& authority, std::string* host, std::string* port) {
    const std::size_t at = authority.rfind('@');
    const std::string hostPort = at == std::string::npos ? authority : authority.substr(at + 1);
    std::size_t colon = std::string::npos;
    if (!hostPort.empty() && hostPort[0] == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string::npos) return false;
        if (close + 1 < hostPort.size()) {
            if (hostPort[close + 1] != ':') return false;
            colon = close + 1;
        }
    } else {
        colon = hostPort.find(':');
    }
    *host = hostPort.substr(0, colon);
    *port = colon == std::string::npos ? std::string() : hostPort.substr(colon + 1);
    if (host->empty() || (colon != std::string::npos && port->empty())) return false;
    if (port->size() > 5) return false;
    for (char c : *port) {
        if (c < '0' || c > '9') return false;
    }
    return port->empty() || (std::stoi(*port) >= 1 && std::stoi(*port) <= 65535);
}

std::string OriginText(const HttpAddress& a) { return a.scheme + "://" + a.host + ":" + std::to_string(a.port); }

// The absolute form of a Location relative to the address it came from.
std::string Resolve(const HttpAddress& base, const std::string& location) {
    const std::size_t colon = location.find(':');
    const std::size_t firstDelimiter = location.find_first_of("/?#");
    if (colon != std::string::npos && colon > 0 && (firstDelimiter == std::string::npos || colon < firstDelimiter)) {
        return location;  // has a scheme of its own
    }
    if (location.compare(0, 2, "//") == 0) return base.scheme + ":" + location;
    const std::string origin = base.scheme + "://" + base.host + ":" + std::to_string(base.port);
    if (!location.empty() && location[0] == '/') return origin + location;
    const std::string path = base.target.substr(0, base.target.find_first_of("?#"));
    if (!location.empty() && location[0] == '?') return origin + path + location;
    return origin + path.substr(0, path.rfind('/') + 1) + location;
}

}  // namespace

bool ParseHttpAddress(const std::string& text, HttpAddress* address) {
    if (text.empty() || HasUnsafeCharacter(text)) return false;
    const std::size_t separator = text.find("://");
    if (separator == std::string::npos) return false;
    HttpAddress parsed;
    parsed.scheme = Lower(text.substr(0, separator));
    if (parsed.scheme != "http" && parsed.scheme != "https") return false;
    const std::size_t authorityStart = separator + 3;
    const std::size_t authorityEnd = text.find_first_of("/?#", authorityStart);
    std::string port;
    if (!SplitAuthority(text.substr(authorityStart, authorityEnd - authorityStart), &parsed.host, &port)) return false;
    parsed.host = Lower(parsed.host);
    parsed.port = !port.empty() ? std::stoi(port) : parsed.scheme == "https" ? 443 : 80;
    parsed.target = authorityEnd == std::string::npos ? "/" : text.substr(authorityEnd);
    if (parsed.target[0] != '/') parsed.target = "/" + parsed.target;
    if (address != nullptr) *address = parsed;
    return true;
}

bool SameOrigin(const HttpAddress& a, const HttpAddress& b) {
    return a.scheme == b.scheme && a.host == b.host && a.port == b.port;
}

RedirectVerdict JudgeRedirect(const std::string& current, const std::string& location) {
    RedirectVerdict verdict;
    HttpAddress from;
    if (!ParseHttpAddress(current, &from)) {
        verdict.refusal = "the redirect's origin " + current + " is not an http or https address";
        return verdict;
    }
    HttpAddress to;
    const std::string target = Resolve(from, location);
    if (location.empty() || !ParseHttpAddress(target, &to)) {
        verdict.refusal = "the server redirected to \"" + ShownText(location) + "\", which is not an http or https address";
        return verdict;
    }
    if (from.scheme == "https" && to.scheme == "http") {
        verdict.refusal = "the server redirected from https to http (" + target +
                          "); the request is not sent again without encryption";
        return verdict;
    }
    if (!SameOrigin(from, to)) {
        verdict.refusal = "the server redirected to another origin (" + target + "); the user ID, password and form "
                          "are sent only to " + OriginText(from) + ", so the redirect is not followed";
        return verdict;
    }
    verdict.follow = true;
    verdict.target = target;
    return verdict;
}

std::string NoPageStatus(long status) {
    if (status == 204 || status == 205) {
        return "the server answered HTTP " + std::to_string(status) + " without a page";
    }
    if (status >= 300 && status < 400) {
        return "the server answered HTTP " + std::to_string(status) + " (a redirect) without a Location to follow";
    }
    return std::string();
}

std::string FollowRedirects(const std::string& address,
                            const std::function<HttpExchange(const std::string& address, bool post)>& perform,
                            long* status) {
    std::string current = address;
    bool post = true;
    for (int redirects = 0;; ++redirects) {
        const HttpExchange exchange = perform(current, post);
        if (!exchange.ok) return std::string();
        *status = exchange.status;
        if (exchange.status < 300 || exchange.status >= 400 || exchange.location.empty()) break;
        const RedirectVerdict verdict = JudgeRedirect(current, exchange.location);
        if (!verdict.follow) return verdict.refusal;
        if (redirects == kMaxRedirects) return "more than " + std::to_string(kMaxRedirects) + " redirects";
        current = verdict.target;
        post = post && (exchange.status == 307 || exchange.status == 308);
    }
    return NoPageStatus(*status);
}

}  // namespace orvanta
