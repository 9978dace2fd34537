#include "winui/page_file.h"

#include <windows.h>

#include <cstdio>

namespace orvanta {

std::wstring WritePageFile(const wchar_t* stem, const std::string& html) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(length > 0 && length < MAX_PATH ? folder : L".\\") + stem + L"-" +
                              std::to_wstring(::GetCurrentProcessId()) + L".html";
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    if (file == nullptr) return std::wstring();
    const bool written = std::fwrite(html.data(), 1, html.size(), file) == html.size();
    if (std::fclose(file) != 0 || !written) return std::wstring();
    return path;
}

std::string PageFileAddress(const std::wstring& path) {
    // The control takes the address in the system's code page.
    char narrow[MAX_PATH * 2] = {};
    ::WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    return std::string("file:///") + narrow;
}

}  // namespace orvanta
