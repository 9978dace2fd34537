// Reading HTTP/1.x requests from the bytes a connection delivers, one after
// the other, so that requests sent back to back (pipelined) are each found
// in turn. Bounded: a request head of at most 64 KiB and 100 header lines, a
// body of at most kMaxBodyBytes, given with Content-Length or chunked.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::server {

struct HttpRequest {
    std::string method;
    std::string target;  // as sent
    std::string path;    // the target up to '?'
    int minorVersion = 1;  // HTTP/1.0 or HTTP/1.1
    std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
    std::string body;

    // The first header of that name (any letter case), or null.
    const std::string* Header(const std::string& name) const;
    // Whether the connection stays open after the answer.
    bool KeepsAlive() const;
};

struct ParseStep {
    enum Kind {
        kNeedMore,  // nothing complete yet
        kRequest,   // `request` is complete; `consumed` bytes belong to it
        kError,     // the bytes are no acceptable request: answer `status`, then close
    };
    Kind kind = kNeedMore;
    std::size_t consumed = 0;
    HttpRequest request;
    int status = 0;
    bool headComplete = false;   // kNeedMore: the head is in, the body is awaited
    bool expectsContinue = false;  // ... and the client waits for "100 Continue"
};

// Looks at the start of `input` (the bytes not yet consumed) for one request.
ParseStep ParseHttpRequest(const std::string& input, std::size_t maxBodyBytes);

}  // namespace orvanta::server
