#include "winui/save_file.h"

#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>

#include "winui/resource.h"
#include "winui/ui_texts.h"

namespace orvanta {

namespace {

// The user's Documents folder; empty when the system names none (the
// dialog then starts where the system chooses).
std::wstring DocumentsFolder() {
    PWSTR folder = nullptr;
    std::wstring path;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder)) && folder != nullptr) {
        path = folder;
    }
    ::CoTaskMemFree(folder);
    return path;
}

}  // namespace

void SaveTextAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<std::string()>& text) {
    std::wstring title = LoadText(titleId);
    if (!title.empty() && title.back() == L'\u2026') title.pop_back();
    wchar_t path[MAX_PATH] = {};
    ::lstrcpynW(path, defaultName, MAX_PATH);
    // Not the working folder, which for the installed shortcut is the
    // program's own folder.
    const std::wstring documents = DocumentsFolder();
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"CSV (*.csv)\0*.csv\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = documents.empty() ? nullptr : documents.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&dialog)) return;
    const std::string content = text();
    FILE* file = ::_wfopen(path, L"wb");
    bool written = file != nullptr && std::fwrite(content.data(), 1, content.size(), file) == content.size();
    if (file != nullptr && std::fclose(file) != 0) written = false;
    wchar_t caption[128] = {};
    ::GetWindowTextW(owner, caption, 128);
    ::MessageBoxW(owner, WithArg(LoadText(written ? IDS_EXPORT_SAVED : IDS_EXPORT_FAILED), path).c_str(), caption,
                  MB_OK | (written ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}

}  // namespace orvanta
