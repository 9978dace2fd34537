// Posting the form body with the header lines of the header block through
// libcurl, as the browser would: HTTP or HTTPS, redirects followed.
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
std::vector<std::string> CurlHeaderLines(const std::string& headerBlock);

// POSTs exactly `body` to `url` with the header lines of `headerBlock`; no
// "Expect: 100-continue" and no Content-Type of libcurl's own. The caller has
// initialised libcurl (curl_global_init).
PostAnswer PostForm(const std::string& url, const std::string& headerBlock, const std::vector<std::uint8_t>& body);

}  // namespace orvanta
