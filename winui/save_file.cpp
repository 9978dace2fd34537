#include "winui/save_file.h"

#include <commdlg.h>

#include <cstdio>

#include "request/record_csv.h"
#include "winui/resource.h"
#include "winui/ui_texts.h"

namespace orvanta {

namespace {

// The chosen path, or empty when the dialog was cancelled.
std::wstring AskForPath(HWND owner, UINT titleId, const wchar_t* defaultName) {
    std::wstring title = LoadText(titleId);
    if (!title.empty() && title.back() == L'\u2026') title.pop_back();
    wchar_t path[MAX_PATH] = {};
    ::lstrcpynW(path, defaultName, MAX_PATH);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"CSV (*.csv)\0*.csv\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&dialog)) return std::wstring();
    return path;
}

bool WriteTextFile(const std::wstring& path, const std::string& content) {
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    bool written = file != nullptr && std::fwrite(content.data(), 1, content.size(), file) == content.size();
    if (file != nullptr && std::fclose(file) != 0) written = false;
    return written;
}

void SayNotWritten(HWND owner, const std::wstring& path) {
    wchar_t caption[128] = {};
    ::GetWindowTextW(owner, caption, 128);
    ::MessageBoxW(owner, WithArg(LoadText(IDS_EXPORT_FAILED), path.c_str()).c_str(), caption,
                  MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void SaveTextAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<std::string()>& text) {
    const std::wstring path = AskForPath(owner, titleId, defaultName);
    if (!path.empty() && !WriteTextFile(path, text())) SayNotWritten(owner, path);
}

void SaveTextsAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<SuffixedTexts()>& texts) {
    const std::wstring chosen = AskForPath(owner, titleId, defaultName);
    if (chosen.empty()) return;
    std::vector<std::wstring> written;
    for (const auto& [suffix, text] : texts()) {
        const std::wstring path = RecordCsvPath(chosen, suffix.c_str());
        if (!WriteTextFile(path, text)) {
            for (const std::wstring& done : written) ::DeleteFileW(done.c_str());
            SayNotWritten(owner, path);
            return;
        }
        written.push_back(path);
    }
}

}  // namespace orvanta
