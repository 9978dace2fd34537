// Posting the form through WinHTTP, the system's own HTTP stack (HTTP and
// HTTPS, the system's certificate store and proxy settings; redirects judged
// here, within the origin only). Same answer record as the libcurl poster of the Linux build.
#include "request/http_address.h"
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

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &narrow[0], n, nullptr, nullptr);
    return narrow;
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
    case ERROR_WINHTTP_TIMEOUT: return "no connection or no complete answer within the time limit (time-out)";
    case ERROR_WINHTTP_INVALID_URL: return "the address is not a valid URL";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return "the address is not an http or https address";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return "the server's answer is not valid HTTP";
    case ERROR_WINHTTP_SECURE_FAILURE:
        return "the secure connection could not be established (certificate or TLS error)";
    case ERROR_WINHTTP_REDIRECT_FAILED: return "a redirect could not be followed";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return "out of memory";
    default: break;
    }
    return "WinHTTP error " + std::to_string(code);
}

bool StartPosting(std::string*) { return true; }

void StopPosting() {}

namespace {

// One request of a redirect chain, as WinHTTP makes it with its own
// redirects switched off: the status, the page, and the Location of a redirect.
HttpExchange PerformOnce(const std::string& url, bool post, const std::string& headerBlock,
                     const std::vector<std::uint8_t>& body, const PostLimits& limits, const RequestDeadline& deadline,
                     PostAnswer* answer) {
    HttpExchange exchange;
    answer->page.clear();
    const std::wstring wideUrl = Widen(url);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts)) {
        *answer = Failed(*answer, "bad address");
        return exchange;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        answer->error = "the address is not an http or https address";
        return exchange;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    InternetHandle session(::WinHttpOpen(L"orvanta-query/1.0.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        *answer = Failed(*answer, "WinHTTP could not be opened");
        return exchange;
    }
    const int totalMs = static_cast<int>(deadline.LeftMs());
    if (totalMs == 0) {
        answer->error = NoCompleteAnswer(limits);
        return exchange;
    }
    const int connectMs = limits.connectSeconds * 1000 < totalMs ? static_cast<int>(limits.connectSeconds * 1000) : totalMs;
    ::WinHttpSetTimeouts(session.get(), 0, connectMs, totalMs, totalMs);
    InternetHandle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) {
        *answer = Failed(*answer, "could not prepare the connection");
        return exchange;
    }
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    InternetHandle request(::WinHttpOpenRequest(connection.get(), post ? L"POST" : L"GET", path.c_str(), nullptr,
                                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) {
        *answer = Failed(*answer, "could not prepare the request");
        return exchange;
    }
    // Redirects are judged by the caller, one at a time, never by WinHTTP.
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));

    const std::wstring headers = WinHttpHeaderText(headerBlock);
    if (!headers.empty() &&
        !::WinHttpAddRequestHeaders(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                                    WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
        *answer = Failed(*answer, "could not add the header lines");
        return exchange;
    }
    const DWORD size = post ? static_cast<DWORD>(body.size()) : 0;
    void* data = size == 0 ? WINHTTP_NO_REQUEST_DATA : const_cast<std::uint8_t*>(body.data());
    const ULONGLONG started = ::GetTickCount64();
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, data, size, size, 0)) {
        *answer = Failed(*answer, "sending failed");
        return exchange;
    }
    if (!::WinHttpReceiveResponse(request.get(), nullptr)) {
        *answer = Failed(*answer, "no answer");
        return exchange;
    }
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
        *answer = Failed(*answer, "the answer has no status");
        return exchange;
    }
    exchange.status = static_cast<long>(status);
    DWORD locationBytes = 0;
    ::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                          &locationBytes, WINHTTP_NO_HEADER_INDEX);
    if (locationBytes > 0) {
        std::wstring location(locationBytes / sizeof(wchar_t) + 1, L'\0');
        if (::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, &location[0],
                                  &locationBytes, WINHTTP_NO_HEADER_INDEX)) {
            location.resize(locationBytes / sizeof(wchar_t));
            exchange.location = Narrow(location);
        }
    }
    for (;;) {
        if (::GetTickCount64() - started > static_cast<ULONGLONG>(totalMs)) {
            answer->error = NoCompleteAnswer(limits);
            answer->page.clear();
            return exchange;
        }
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available)) {
            *answer = Failed(*answer, "reading the answer failed");
            return exchange;
        }
        if (available == 0) break;
        if (answer->page.size() + available > limits.maxPageBytes) {
            answer->error = "the answer page is larger than " + std::to_string(limits.maxPageBytes / (1024 * 1024)) +
                            " MiB; it is not taken";
            answer->page.clear();
            return exchange;
        }
        std::string chunk(available, '\0');
        DWORD got = 0;
        if (!::WinHttpReadData(request.get(), &chunk[0], available, &got)) {
            *answer = Failed(*answer, "reading the answer failed");
            return exchange;
        }
        if (got == 0) break;
        answer->page.append(chunk.data(), got);
    }
    exchange.ok = true;
    return exchange;
}

}  // namespace

PostAnswer PostForm(const std::string& url, const std::string& headerBlock, const std::vector<std::uint8_t>& body,
                    const PostLimits& limits) {
    PostAnswer answer;
    const RequestDeadline deadline(limits.totalSeconds);
    const std::string noPage = FollowRedirects(
        url,
        [&](const std::string& address, bool post) {
            return PerformOnce(address, post, headerBlock, body, limits, deadline, &answer);
        },
        &answer.status);
    return SettledAnswer(std::move(answer), noPage);
}

}  // namespace orvanta
