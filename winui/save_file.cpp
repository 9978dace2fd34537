#include "winui/save_file.h"

#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>

#include "request/record_csv.h"
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

// The dialog's title: the menu text without its "…".
std::wstring DialogTitle(UINT titleId) {
    std::wstring title = LoadText(titleId);
    if (!title.empty() && title.back() == L'\u2026') title.pop_back();
    return title;
}

// Runs the save (or open) dialog on `path`, which holds the proposed name.
// It starts in Documents, not the working folder, which for the installed
// shortcut is the program's own folder.
bool AskPath(HWND owner, UINT titleId, const std::wstring& filter, const wchar_t* extension, bool save,
             wchar_t (&path)[MAX_PATH]) {
    const std::wstring title = DialogTitle(titleId);
    const std::wstring documents = DocumentsFolder();
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = documents.empty() ? nullptr : documents.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    return save ? ::GetSaveFileNameW(&dialog) != FALSE : ::GetOpenFileNameW(&dialog) != FALSE;
}

bool WriteTextFile(const std::wstring& path, const std::string& content) {
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    bool written = file != nullptr && std::fwrite(content.data(), 1, content.size(), file) == content.size();
    if (file != nullptr && std::fclose(file) != 0) written = false;
    return written;
}

// "已保存到 <paths>" or "无法写入文件 <path>", in a box with the owner's caption.
void SayWritten(HWND owner, bool written, const std::wstring& paths) {
    wchar_t caption[128] = {};
    ::GetWindowTextW(owner, caption, 128);
    ::MessageBoxW(owner, WithArg(LoadText(written ? IDS_EXPORT_SAVED : IDS_EXPORT_FAILED), paths).c_str(), caption,
                  MB_OK | (written ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}

const std::wstring kCsvFilter(L"CSV (*.csv)\0*.csv\0", 18);

}  // namespace

std::wstring AskSavePath(HWND owner, UINT titleId, const std::wstring& defaultName, const std::wstring& filter,
                         const wchar_t* extension) {
    wchar_t path[MAX_PATH] = {};
    ::lstrcpynW(path, defaultName.c_str(), MAX_PATH);
    return AskPath(owner, titleId, filter, extension, true, path) ? std::wstring(path) : std::wstring();
}

std::wstring AskOpenPath(HWND owner, UINT titleId, const std::wstring& filter) {
    wchar_t path[MAX_PATH] = {};
    return AskPath(owner, titleId, filter, nullptr, false, path) ? std::wstring(path) : std::wstring();
}

bool AnsiPath(const std::wstring& path, std::string* ansi) {
    BOOL lost = FALSE;
    const int length =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (length <= 1 || lost) return false;
    ansi->assign(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, &(*ansi)[0], length, nullptr, nullptr);
    ansi->resize(static_cast<std::size_t>(length - 1));
    return true;
}

void SaveTextAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<std::string()>& text) {
    const std::wstring path = AskSavePath(owner, titleId, defaultName, kCsvFilter, L"csv");
    if (!path.empty()) SayWritten(owner, WriteTextFile(path, text()), path);
}

void SaveTextsAs(HWND owner, UINT titleId, const wchar_t* defaultName, const std::function<SuffixedTexts()>& texts) {
    const std::wstring chosen = AskSavePath(owner, titleId, defaultName, kCsvFilter, L"csv");
    if (chosen.empty()) return;
    std::vector<std::wstring> written;
    for (const auto& [suffix, text] : texts()) {
        const std::wstring path = RecordCsvPath(chosen, suffix.c_str());
        if (!WriteTextFile(path, text)) {
            for (const std::wstring& done : written) ::DeleteFileW(done.c_str());
            SayWritten(owner, false, path);
            return;
        }
        written.push_back(path);
    }
    std::wstring paths;
    for (const std::wstring& path : written) paths += (paths.empty() ? L"" : L"\n") + path;
    SayWritten(owner, true, paths);
}

}  // namespace orvanta
