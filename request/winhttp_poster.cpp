// Posting the form through WinHTTP, the system's own HTTP stack (HTTP and
// HTTPS, the system's certificate store and proxy settings, redirects
// followed). Same answer record as the libcurl poster of the Linux build.
#include "request/request_builders.h"
#include "request/form_poster.h"
#include "request/winhttp_poster.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <winhttp.h>

#include <memory>

namespace orvanta {
namespace {

struct InternetHandleCloser {
    void operator()(void* handle) const { ::WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

// Fills answer.error from the calling thread's last error and returns the answer.
PostAnswer Failed(PostAnswer answer, const char* step) {
    answer.error = std::string(step) + ": " + WinHttpErrorText(::GetLastError());
    return answer;
}

}  // namespace

std::wstring WinHttpHeaderText(const std::string& headerBlock) {
    std::string lines;
    for (const std::string& line : HeaderBlockLines(headerBlock)) {
        lines += line;
        lines += "\r\n";
    }
    return Widen(lines);
}

std::string WinHttpErrorText(unsigned long code) {
    switch (code) {
    case ERROR_WINHTTP_CANNOT_CONNECT: return "could not connect to the server";
    case ERROR_WINHTTP_CONNECTION_ERROR: return "the connection to the server was reset or ended";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return "the server's name could not be resolved";
    case ERROR_WINHTTP_TIMEOUT: return "the request timed out";
    case ERROR_WINHTTP_INVALID_URL: return "the address is not a valid URL";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return "the address is not an http or https address";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return "the server's answer is not valid HTTP";
    case ERROR_WINHTTP_SECURE_FAILURE: return "the secure connection could not be established (certificate or TLS error)";
    case ERROR_WINHTTP_REDIRECT_FAILED: return "a redirect could not be followed";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return "out of memory";
    default: break;
    }
    return "WinHTTP error " + std::to_string(code);
}

bool StartPosting(std::string*) { return true; }

void StopPosting() {}

PostAnswer PostForm(const std::string& url, const std::string& headerBlock, const std::vector<std::uint8_t>& body) {
    PostAnswer answer;
    const std::wstring wideUrl = Widen(url);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts)) {
        return Failed(answer, "bad address");
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        answer.error = "the address is not an http or https address";
        return answer;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    InternetHandle session(::WinHttpOpen(L"orvanta-query/1.0.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return Failed(answer, "WinHTTP could not be opened");
    ::WinHttpSetTimeouts(session.get(), 0, 30000, 600000, 600000);
    InternetHandle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return Failed(answer, "could not prepare the connection");
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    InternetHandle request(::WinHttpOpenRequest(connection.get(), L"POST", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) return Failed(answer, "could not prepare the request");

    const std::wstring headers = WinHttpHeaderText(headerBlock);
    if (!headers.empty() &&
        !::WinHttpAddRequestHeaders(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                                    WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
        return Failed(answer, "could not add the header lines");
    }
    const DWORD size = static_cast<DWORD>(body.size());
    void* data = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<std::uint8_t*>(body.data());
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, data, size, size, 0)) {
        return Failed(answer, "sending failed");
    }
    if (!::WinHttpReceiveResponse(request.get(), nullptr)) return Failed(answer, "no answer");

    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
        return Failed(answer, "the answer has no status");
    }
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available)) return Failed(answer, "reading the answer failed");
        if (available == 0) break;
        std::string chunk(available, '\0');
        DWORD got = 0;
        if (!::WinHttpReadData(request.get(), &chunk[0], available, &got)) {
            return Failed(answer, "reading the answer failed");
        }
        if (got == 0) break;
        answer.page.append(chunk.data(), got);
    }
    answer.status = static_cast<long>(status);
    answer.transported = true;
    return answer;
}

}  // namespace orvanta
