#include "winui/window_settings.h"

#include <windows.h>

namespace orvanta {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Orvanta\\orvanta-client";

}  // namespace

std::wstring ReadWindowSetting(const wchar_t* name) {
    wchar_t value[256] = {};
    DWORD size = sizeof value - sizeof(wchar_t);  // room for the terminator RegGetValue may not add
    if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return value;
}

bool WriteWindowSetting(const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG status = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace orvanta
