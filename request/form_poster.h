// Posting the form body with the header lines of the header block, as the
// browser would: HTTP or HTTPS; a redirect is followed only within the
// origin it came from (http_address.h), a 307 or 308 with the form again, a
// 301, 302 or 303 as a GET without it. One implementation per
// platform: libcurl on Linux (form_poster.cpp), WinHTTP, the system's own HTTP
// stack, on Windows (winhttp_poster.cpp).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvanta {

struct PostAnswer {
    bool transported = false;  // a complete HTTP answer with a page arrived
    long status = 0;           // its HTTP status
    std::string page;          // its body
    std::string error;         // why nothing (complete) arrived
};

// Both posters end alike once the redirects are followed: a transport error,
// or the redirect rule's reason for having no page (`noPage`), leaves no
// page; otherwise the answer arrived.
inline PostAnswer SettledAnswer(PostAnswer answer, const std::string& noPage) {
    if (!answer.error.empty() || !noPage.empty()) {
        if (answer.error.empty()) answer.error = noPage;
        answer.page.clear();
        return answer;
    }
    answer.transported = true;
    return answer;
}

// How long to wait and how much to take: a silent server or an endless page
// ends the request with a message instead of holding the program.
struct PostLimits {
    long connectSeconds = 15;
    long totalSeconds = 120;                        // for each request, redirects included
    std::size_t maxPageBytes = 64u * 1024u * 1024u;
};

// The request's one time limit, started when the request starts: each hop of
// its redirects gets only what is left of it.
class RequestDeadline {
public:
    explicit RequestDeadline(long seconds)
        : end_(std::chrono::steady_clock::now() + std::chrono::seconds(seconds)) {}
    // Milliseconds left, 0 when the time is up.
    long LeftMs() const {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now()).count();
        return left > 0 ? static_cast<long>(left) : 0;
    }

private:
    std::chrono::steady_clock::time_point end_;
};

inline std::string NoCompleteAnswer(const PostLimits& limits) {
    return "the server sent no complete answer within " + std::to_string(limits.totalSeconds) + " s";
}

// The header block's lines in the form libcurl takes them: one entry per
// non-empty line, line ends removed. A header with an empty value ("Name: ")
// becomes "Name;", which libcurl sends as an empty header instead of dropping it.
// (libcurl poster only.)
std::vector<std::string> CurlHeaderLines(const std::string& headerBlock);

// Sets up the HTTP stack for the rest of the process (libcurl's global state;
// WinHTTP needs nothing). Returns false with *error when it cannot.
bool StartPosting(std::string* error);
void StopPosting();

// POSTs exactly `body` to `url` with the header lines of `headerBlock`; no
// "Expect: 100-continue" and no Content-Type of the HTTP stack's own. Needs a
// successful StartPosting.
PostAnswer PostForm(const std::string& url, const std::string& headerBlock, const std::vector<std::uint8_t>& body,
                    const PostLimits& limits = PostLimits());

}  // namespace orvanta
