// Posting the form body with the header lines of the header block, as the
// browser would: HTTP or HTTPS, redirects followed. One implementation per
// platform: libcurl on Linux (form_poster.cpp), WinHTTP, the system's own HTTP
// stack, on Windows (winhttp_poster.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta {

struct PostAnswer {
    bool transported = false;  // a complete HTTP answer arrived
    long status = 0;           // its HTTP status
    std::string page;          // its body
    std::string error;         // why nothing (complete) arrived
};

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
PostAnswer PostForm(const std::string& url, const std::string& headerBlock, const std::vector<std::uint8_t>& body);

}  // namespace orvanta
