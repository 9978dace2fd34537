#include "winui/save_file.h"

#include <commdlg.h>

#include <cstdio>

#include "winui/resource.h"
#include "winui/ui_texts.h"

namespace orvanta {

void SaveTextAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<std::string()>& text) {
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
    if (!::GetSaveFileNameW(&dialog)) return;
    const std::string content = text();
    FILE* file = ::_wfopen(path, L"wb");
    bool written = file != nullptr && std::fwrite(content.data(), 1, content.size(), file) == content.size();
    if (file != nullptr && std::fclose(file) != 0) written = false;
    if (!written) {
        wchar_t caption[128] = {};
        ::GetWindowTextW(owner, caption, 128);
        ::MessageBoxW(owner, WithArg(LoadText(IDS_EXPORT_FAILED), path).c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
    }
}

}  // namespace orvanta
