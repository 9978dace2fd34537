#include "winui/navigate_status.h"

#include <cstdio>

namespace orvanta {
namespace {

struct NamedStatus {
    unsigned long code;
    const char* name;
};

// HRESULTs of urlmon (INET_E_*) and of WinINet (HRESULT_FROM_WIN32 of
// ERROR_INTERNET_*) that mean the server was not reached. An HTTP error is
// the server's answer, and a missing HTML engine
// (INET_E_CANNOT_INSTANTIATE_OBJECT) is no fault of the server's: neither is
// here. Wine's control reports a refused port as INET_E_DOWNLOAD_FAILURE.
constexpr NamedStatus kUnreachable[] = {
    {0x800C0003UL, "INET_E_NO_SESSION"},
    {0x800C0004UL, "INET_E_CANNOT_CONNECT"},
    {0x800C0005UL, "INET_E_RESOURCE_NOT_FOUND"},
    {0x800C0007UL, "INET_E_DATA_NOT_AVAILABLE"},
    {0x800C0008UL, "INET_E_DOWNLOAD_FAILURE"},
    {0x800C000BUL, "INET_E_CONNECTION_TIMEOUT"},
    {0x800C000EUL, "INET_E_SECURITY_PROBLEM"},
    {0x800C0019UL, "INET_E_INVALID_CERTIFICATE"},
    {0x80072EE2UL, "ERROR_INTERNET_TIMEOUT"},
    {0x80072EE7UL, "ERROR_INTERNET_NAME_NOT_RESOLVED"},
    {0x80072EFDUL, "ERROR_INTERNET_CANNOT_CONNECT"},
    {0x80072EFEUL, "ERROR_INTERNET_CONNECTION_ABORTED"},
    {0x80072EFFUL, "ERROR_INTERNET_CONNECTION_RESET"},
    {0x80072F78UL, "ERROR_HTTP_INVALID_SERVER_RESPONSE"},
    {0x80072F8FUL, "ERROR_INTERNET_SECURE_FAILURE"},
};

const NamedStatus* Find(long status) {
    const unsigned long code = static_cast<unsigned long>(status);
    for (const NamedStatus& entry : kUnreachable) {
        if (entry.code == code) return &entry;
    }
    return nullptr;
}

}  // namespace

bool IsUnreachableStatus(long status) { return Find(status) != nullptr; }

std::string NavigateStatusName(long status) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(status));
    const NamedStatus* entry = Find(status);
    return entry == nullptr ? std::string(number) : std::string(entry->name) + " (" + number + ")";
}

}  // namespace orvanta
