#include "server/http_request_parser.h"

#include <cctype>

namespace orvanta::server {
namespace {

constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kMaxHeaderLines = 100;

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool IsTokenChar(unsigned char c) {
    return c > 0x20 && c < 0x7F && c != ':' && c != '(' && c != ')' && c != ',' && c != ';' && c != '"' &&
           c != '/' && c != '[' && c != ']' && c != '?' && c != '=' && c != '{' && c != '}' && c != '\\' && c != '@' &&
           c != '<' && c != '>';
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(begin, end - begin);
}

ParseStep Error(int status) {
    ParseStep step;
    step.kind = ParseStep::kError;
    step.status = status;
    return step;
}

// The line from `pos` to its LF (a CR before it dropped); false when the LF
// has not arrived yet.
bool NextLine(const std::string& input, std::size_t* pos, std::string* line) {
    const std::size_t lf = input.find('\n', *pos);
    if (lf == std::string::npos) return false;
    std::size_t end = lf;
    if (end > *pos && input[end - 1] == '\r') --end;
    *line = input.substr(*pos, end - *pos);
    *pos = lf + 1;
    return true;
}

bool ParseRequestLine(const std::string& line, HttpRequest* request, int* status) {
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
    if (second == std::string::npos || line.find(' ', second + 1) != std::string::npos) return *status = 400, false;
    request->method = line.substr(0, first);
    request->target = line.substr(first + 1, second - first - 1);
    const std::string version = line.substr(second + 1);
    if (request->method.empty() || request->target.empty()) return *status = 400, false;
    for (unsigned char c : request->method) {
        if (!IsTokenChar(c)) return *status = 400, false;
    }
    for (unsigned char c : request->target) {
        if (c <= 0x20 || c == 0x7F) return *status = 400, false;
    }
    if (version == "HTTP/1.1") {
        request->minorVersion = 1;
    } else if (version == "HTTP/1.0") {
        request->minorVersion = 0;
    } else {
        return *status = version.compare(0, 5, "HTTP/") == 0 ? 505 : 400, false;
    }
    std::string target = request->target;
    // An absolute-form target ("http://host/path") counts by its path.
    const std::size_t scheme = target.find("://");
    if (target[0] != '/' && scheme != std::string::npos) {
        const std::size_t slash = target.find('/', scheme + 3);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }
    if (target[0] != '/' && target != "*") return *status = 400, false;
    request->path = target.substr(0, target.find('?'));
    return true;
}

bool ParseHeaderLine(const std::string& line, HttpRequest* request) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    const std::string name = line.substr(0, colon);
    for (unsigned char c : name) {
        if (!IsTokenChar(c)) return false;
    }
    const std::string value = Trim(line.substr(colon + 1));
    for (unsigned char c : value) {
        if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
    }
    request->headers.emplace_back(name, value);
    return true;
}

// Decodes a chunked body from `pos`. Returns kRequest with *end past the
// trailer, kNeedMore, or kError with its status.
ParseStep::Kind ReadChunked(const std::string& input, std::size_t pos, std::size_t maxBody, std::string* body,
                            std::size_t* end, int* status) {
    for (;;) {
        std::string line;
        if (!NextLine(input, &pos, &line)) return input.size() - pos > 1024 ? (*status = 400, ParseStep::kError)
                                                                              : ParseStep::kNeedMore;
        const std::string digits = Trim(line.substr(0, line.find(';')));
        if (digits.empty() || digits.size() > 8) return *status = digits.empty() ? 400 : 413, ParseStep::kError;
        std::size_t size = 0;
        for (char c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) return *status = 400, ParseStep::kError;
            size = size * 16 + static_cast<std::size_t>(std::isdigit(static_cast<unsigned char>(c))
                                                            ? c - '0'
                                                            : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        }
        if (size == 0) break;
        if (body->size() + size > maxBody) return *status = 413, ParseStep::kError;
        if (input.size() < pos + size + 2) return ParseStep::kNeedMore;
        body->append(input, pos, size);
        pos += size;
        if (input.compare(pos, 2, "\r\n") == 0) {
            pos += 2;
        } else if (input[pos] == '\n') {
            pos += 1;
        } else {
            return *status = 400, ParseStep::kError;
        }
    }
    for (std::size_t lines = 0;; ++lines) {  // the trailer, up to its empty line
        std::string line;
        if (!NextLine(input, &pos, &line)) return ParseStep::kNeedMore;
        if (line.empty()) break;
        if (lines == kMaxHeaderLines) return *status = 431, ParseStep::kError;
    }
    *end = pos;
    return ParseStep::kRequest;
}

}  // namespace

const std::string* HttpRequest::Header(const std::string& name) const {
    for (const auto& header : headers) {
        if (SameName(header.first, name)) return &header.second;
    }
    return nullptr;
}

bool HttpRequest::KeepsAlive() const {
    const std::string* connection = Header("Connection");
    if (connection != nullptr && SameName(Trim(*connection), "close")) return false;
    if (minorVersion == 0) return connection != nullptr && SameName(Trim(*connection), "keep-alive");
    return true;
}

ParseStep ParseHttpRequest(const std::string& input, std::size_t maxBodyBytes) {
    ParseStep step;
    std::size_t pos = 0;
    // Empty lines before a request line are ignored.
    while (pos < input.size() && (input[pos] == '\r' || input[pos] == '\n')) ++pos;
    const std::size_t headStart = pos;
    std::string line;
    if (!NextLine(input, &pos, &line)) return input.size() - headStart > kMaxHeadBytes ? Error(431) : step;
    HttpRequest& request = step.request;
    int status = 400;
    if (!ParseRequestLine(line, &request, &status)) return Error(status);
    for (;;) {
        if (!NextLine(input, &pos, &line)) return input.size() - headStart > kMaxHeadBytes ? Error(431) : ParseStep();
        if (pos - headStart > kMaxHeadBytes || request.headers.size() > kMaxHeaderLines) return Error(431);
        if (line.empty()) break;
        if (line[0] == ' ' || line[0] == '\t' || !ParseHeaderLine(line, &request)) return Error(400);
    }

    const std::string* encoding = request.Header("Transfer-Encoding");
    const std::string* length = request.Header("Content-Length");
    step.headComplete = true;
    const std::string* expect = request.Header("Expect");
    step.expectsContinue = expect != nullptr && SameName(Trim(*expect), "100-continue");
    if (encoding != nullptr) {
        if (!SameName(Trim(*encoding), "chunked")) return Error(501);
        std::size_t end = 0;
        const ParseStep::Kind kind = ReadChunked(input, pos, maxBodyBytes, &request.body, &end, &status);
        if (kind == ParseStep::kError) return Error(status);
        if (kind == ParseStep::kNeedMore) {
            step.request.body.clear();
            return step;
        }
        step.kind = ParseStep::kRequest;
        step.consumed = end;
        return step;
    }
    std::size_t size = 0;
    if (length != nullptr) {
        for (const auto& header : request.headers) {
            if (SameName(header.first, "Content-Length") && header.second != *length) return Error(400);
        }
        if (length->empty() || length->size() > 19) return Error(length->empty() ? 400 : 413);
        for (char c : *length) {
            if (c < '0' || c > '9') return Error(400);
            size = size * 10 + static_cast<std::size_t>(c - '0');
        }
        if (size > maxBodyBytes) return Error(413);
    }
    if (input.size() - pos < size) return step;
    request.body = input.substr(pos, size);
    step.kind = ParseStep::kRequest;
    step.consumed = pos + size;
    return step;
}

}  // namespace orvanta::server
