// One HTTP request as the server's handler sees it, and its answer: plain
// data, apart from the library that carries them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orvanta::server {

struct HttpRequest {
    std::string method;
    std::string path;      // the target up to '?'
    int minorVersion = 1;  // HTTP/1.0 or HTTP/1.1
    std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
    std::string body;

    // The first header of that name (any letter case), or null.
    const std::string* Header(const std::string& name) const;
    // How many header lines carry that name (any letter case).
    int HeaderCount(const std::string& name) const;
};

struct HttpResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;  // besides Content-Length and Connection
    std::string body;
    bool close = false;  // close the connection after this answer
};

// Whether two header names are the same, in any letter case.
bool SameHeaderName(const std::string& a, const std::string& b);

// 400 when the head frames its body or names its host in a way that two
// readers could take differently (a way into request smuggling), else 0:
// NUL, CR or LF inside a value; Content-Length together with
// Transfer-Encoding; more than one Transfer-Encoding, one in HTTP/1.0, or one
// whose last coding is not chunked; Content-Length lines that differ; no
// Host or more than one on HTTP/1.1, more than one on HTTP/1.0.
int FramingFault(const HttpRequest& head);

}  // namespace orvanta::server
