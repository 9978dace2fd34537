#include "server/http_exchange.h"

#include <cctype>

namespace orvanta::server {

bool SameHeaderName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

const std::string* HttpRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (SameHeaderName(key, name)) return &value;
    }
    return nullptr;
}

int HttpRequest::HeaderCount(const std::string& name) const {
    int count = 0;
    for (const auto& header : headers) count += SameHeaderName(header.first, name) ? 1 : 0;
    return count;
}

namespace {

// Whether the last coding of a Transfer-Encoding value is "chunked".
bool EndsChunked(const std::string& value) {
    std::size_t end = value.find_last_not_of(" \t");
    if (end == std::string::npos) return false;
    std::size_t start = value.find_last_of(",", end);
    start = start == std::string::npos ? 0 : start + 1;
    start = value.find_first_not_of(" \t", start);
    return SameHeaderName(value.substr(start, end + 1 - start), "chunked");
}

}  // namespace

int FramingFault(const HttpRequest& head) {
    constexpr int kBadRequest = 400;
    for (const auto& header : head.headers) {
        if (header.second.find_first_of(std::string("\0\r\n", 3)) != std::string::npos) return kBadRequest;
    }
    const int lengths = head.HeaderCount("Content-Length");
    const int encodings = head.HeaderCount("Transfer-Encoding");
    const int hosts = head.HeaderCount("Host");
    if (encodings > 1 || (encodings == 1 && (lengths > 0 || head.minorVersion == 0))) return kBadRequest;
    if (encodings == 1 && !EndsChunked(*head.Header("Transfer-Encoding"))) return kBadRequest;
    if (lengths > 1) {
        const std::string& first = *head.Header("Content-Length");
        for (const auto& [key, value] : head.headers) {
            if (SameHeaderName(key, "Content-Length") && value != first) return kBadRequest;
        }
    }
    if (hosts > 1 || (hosts == 0 && head.minorVersion == 1)) return kBadRequest;
    return 0;
}

}  // namespace orvanta::server
