#include "winui/ui_texts.h"

namespace orvanta {
namespace {

UiLanguage g_language = UiLanguage::kChinese;

WORD LangId() {
    return g_language == UiLanguage::kEnglish ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                                              : MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
}

// The resource's bytes in the window's language, or null.
const void* Find(LPCWSTR type, LPCWSTR name, DWORD* size) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceExW(module, type, name, LangId());
    if (found == nullptr) return nullptr;
    if (size != nullptr) *size = ::SizeofResource(module, found);
    return ::LockResource(::LoadResource(module, found));
}

}  // namespace

UiLanguage LanguageOfUser() {
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_ENGLISH ? UiLanguage::kEnglish
                                                                         : UiLanguage::kChinese;
}

void SetWindowLanguage(UiLanguage language) { g_language = language; }

UiLanguage WindowLanguage() { return g_language; }

std::wstring LoadText(UINT id) {
    // Strings come in blocks of 16, each a length and that many UTF-16 units.
    DWORD size = 0;
    const auto* block = static_cast<const WCHAR*>(
        Find(reinterpret_cast<LPCWSTR>(RT_STRING), MAKEINTRESOURCEW((id >> 4) + 1), &size));
    if (block == nullptr) return std::wstring();
    const WCHAR* end = block + size / sizeof(WCHAR);
    for (UINT i = 0; i < (id & 15) && block < end; ++i) block += 1 + *block;
    if (block >= end) return std::wstring();
    return std::wstring(block + 1, *block);
}

std::wstring WithArg(const std::wstring& pattern, const std::wstring& value) {
    std::wstring text = pattern;
    const std::size_t at = text.find(L"%1");
    if (at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

std::wstring WithArgs(const std::wstring& pattern, const std::wstring& first, const std::wstring& second) {
    std::wstring text = WithArg(pattern, first);
    const std::size_t at = text.find(L"%2");
    if (at != std::wstring::npos) text.replace(at, 2, second);
    return text;
}

HWND CreateDialogIn(int id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const void* dialog = Find(reinterpret_cast<LPCWSTR>(RT_DIALOG), MAKEINTRESOURCEW(id), nullptr);
    if (dialog == nullptr) return nullptr;
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(dialog), owner,
                                        procedure, parameter);
}

INT_PTR RunDialog(int id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const void* dialog = Find(reinterpret_cast<LPCWSTR>(RT_DIALOG), MAKEINTRESOURCEW(id), nullptr);
    if (dialog == nullptr) return -1;
    return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(dialog), owner,
                                     procedure, parameter);
}

HMENU LoadMenuIn(int id) {
    const void* menu = Find(reinterpret_cast<LPCWSTR>(RT_MENU), MAKEINTRESOURCEW(id), nullptr);
    return menu == nullptr ? nullptr : ::LoadMenuIndirectW(menu);
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr,
                          nullptr);
    return narrow;
}

}  // namespace orvanta
