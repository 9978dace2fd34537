// The request recorder: every received request as one JSON line, so tests
// and scripts can compare what a client really sent.
//
// Line format: {"method":"POST","path":"/analysis","headers":{"Name":"value",...},"body":"..."}
// Every string is written byte for byte: printable ASCII as it is (with \" and
// \\), every other byte (control bytes, bytes 128 to 255) as \u00XX. Reading
// the strings back with each \u00XX as the byte XX gives the exact bytes
// received; ParseRecordLine does that.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvanta::server {

struct RecordedRequest {
    std::string method;
    std::string path;
    // In the order received; a header sent more than once appears once with
    // its values joined by ", ".
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

// The JSON string literal (quotes included) of arbitrary bytes, as above.
std::string JsonByteString(std::string_view bytes);

// One record line, ending in a line feed.
std::string FormatRecordLine(const RecordedRequest& request);

// Reads a line written by FormatRecordLine back (the line feed may be there
// or not). \u00XX escapes give single bytes; other escapes of JSON are read
// as JSON defines them (code points above U+00FF as UTF-8). Unknown keys with
// string values are skipped. False on anything else.
bool ParseRecordLine(std::string_view line, RecordedRequest& request);

// Appends record lines to a file, one whole line per request, from any
// number of threads. Each line is flushed at once.
class RequestLog {
public:
    RequestLog() = default;
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // Opens (creates or appends to) the file. False with errno set on failure.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // Writes one line; false when the write failed.
    bool Append(const RecordedRequest& request);

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace orvanta::server
