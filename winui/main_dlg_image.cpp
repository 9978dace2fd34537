// The main window's card images and COMTRADE export: 保存存储卡映像… copies
// the card into an image file on a worker thread (progress and end in the
// status line, 取消保存映像 in the context menu stops it and leaves no
// image); 打开存储卡映像… takes an image as the card in drive E: (the window
// ends and the application opens a new one on the image, as --image does);
// 导出 COMTRADE… writes the record shown as orvanta-card comtrade --at writes
// it, under a name holding the record's time. The caption and the status
// line name an image taken as the card.
#include <windows.h>

#include "dialogcore/card_image_option.h"
#include "dialogcore/export_file_name.h"
#include "dialogcore/shown_record_comtrade.h"
#include "winui/main_dlg.h"
#include "winui/resource.h"
#include "winui/save_file.h"
#include "winui/ui_texts.h"

namespace orvanta {
namespace {

// The dialogs' filter: card images, then every file.
std::wstring ImageFilter() {
    std::wstring filter = LoadText(IDS_CARD_IMAGES) + L" (*.img)";
    filter += L'\0';
    filter += L"*.img";
    filter += L'\0';
    filter += LoadText(IDS_ALL_FILES);
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    return filter;
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

void CMainDlg::ShowCaption() {
    if (card_.image.empty()) return;
    wchar_t caption[256] = {};
    ::GetWindowTextW(hwnd_, caption, 256);
    ::SetWindowTextW(hwnd_, Widen(TitleWithCardImage(Narrow(caption), Narrow(card_.image))).c_str());
}

std::string CMainDlg::CardImageOnDrive() const {
    if (card_.image.empty() || reader_.StartupDriveCode() != kCardImageDrive) return std::string();
    return Narrow(FileNameOf(card_.image));
}

void CMainDlg::TellProblem(const std::wstring& text) {
    wchar_t caption[256] = {};
    ::GetWindowTextW(hwnd_, caption, 256);
    ::MessageBoxW(hwnd_, text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
}

void CMainDlg::PrepareImageEntries(HMENU entries) {
    const bool card = reader_.StartupDriveCode() != kNoCardDriveCode;
    ::EnableMenuItem(entries, IDM_EXPORT_COMTRADE, shownRecord_ > 0 ? MF_ENABLED : MF_GRAYED);
    // The strip's scan holds the card open, and the system lets one reader
    // open a raw volume at a time.
    const bool scanning = strip_ != nullptr && strip_->IsScanning();
    ::EnableMenuItem(entries, IDM_SAVE_IMAGE, card && !Saving() && !scanning ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(entries, IDM_OPEN_IMAGE, !Saving() ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(entries, IDM_CANCEL_SAVE, Saving() ? MF_ENABLED : MF_GRAYED);
}

bool CMainDlg::OnImageCommand(int command) {
    switch (command) {
    case IDM_EXPORT_COMTRADE:
        ExportComtrade();
        return true;
    case IDM_SAVE_IMAGE:
        SaveCardImage();
        return true;
    case IDM_OPEN_IMAGE:
        OpenCardImage();
        return true;
    case IDM_CANCEL_SAVE:
        // The worker stops at its next read and its end says so.
        if (Saving()) imageSave_->Stop();
        return true;
    default:
        return false;
    }
}

bool CMainDlg::OnImageMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (message == kImageSaveProgressMessage) {
        if (Saving() && imageSave_->IsCurrent(wParam)) {
            ShowStatus(WithArg(LoadText(IDS_SAVING_IMAGE), std::to_wstring(static_cast<int>(lParam))));
        }
    } else if (message == kImageSaveDoneMessage) {
        OnImageSaved(wParam);
    } else {
        return false;
    }
    *result = TRUE;
    return true;
}

void CMainDlg::SaveCardImage() {
    if (Saving() || reader_.StartupDriveCode() == kNoCardDriveCode) return;
    if (strip_ != nullptr && strip_->IsScanning()) return;
    const std::wstring path = AskSavePath(hwnd_, IDS_SAVE_IMAGE, L"orvanta-card.img", ImageFilter(), L"img");
    if (path.empty()) return;
    std::string ansi;
    if (!AnsiPath(path, &ansi)) return TellProblem(WithArg(LoadText(IDS_EXPORT_FAILED), path));
    if (!imageSave_) imageSave_ = std::make_unique<CImageSaveWork>(hwnd_, kImageSaveProgressMessage,
                                                                    kImageSaveDoneMessage);
    imageSave_->SetCard(reader_);
    savingPath_ = path;
    ShowStatus(WithArg(LoadText(IDS_SAVING_IMAGE), L"0"));
    imageSave_->Start(ansi);
    EnableButtons(false);
}

void CMainDlg::OnImageSaved(WPARAM generation) {
    if (imageSave_ == nullptr) return;
    const std::unique_ptr<cardimage::CardSaveResult> saved = imageSave_->TakeResult(generation);
    if (!saved) return;
    EnableButtons(true);
    switch (saved->status) {
    case cardimage::CardSaveStatus::kSaved:
        ShowStatus(WithArg(LoadText(IDS_IMAGE_SAVED), FileNameOf(savingPath_)));
        break;
    case cardimage::CardSaveStatus::kCancelled:
        ShowStatus(LoadText(IDS_IMAGE_SAVE_CANCELLED));
        break;
    default:
        // Why, as the volume layer and the file system said it.
        ShowStatus(std::wstring());
        TellProblem(WithArg(LoadText(IDS_IMAGE_SAVE_FAILED), Widen(saved->message)));
        break;
    }
}

void CMainDlg::OpenCardImage() {
    if (Saving()) return;
    const std::wstring path = AskOpenPath(hwnd_, IDS_OPEN_IMAGE, ImageFilter());
    if (path.empty()) return;
    // The application opens a new window on the image, where this one stood.
    imageToOpen_ = path;
    card_.placement.length = sizeof card_.placement;
    ::GetWindowPlacement(hwnd_, &card_.placement);
    ::EndDialog(hwnd_, IDCANCEL);
}

void CMainDlg::ExportComtrade() {
    // The report's worker reads through the window's reader meanwhile.
    if (report_ != nullptr && report_->IsScanning()) return;
    if (shownRecord_ <= 0) return TellProblem(LoadText(IDS_NOTHING_TO_EXPORT));
    const std::wstring filter(L"COMTRADE (*.cfg)\0*.cfg\0", 23);
    const std::wstring path =
        AskSavePath(hwnd_, IDS_EXPORT_COMTRADE, Widen(ExportFileName(shownRecord_, "cfg")), filter, L"cfg");
    if (path.empty()) return;
    std::string ansi;
    if (!AnsiPath(path, &ansi)) return TellProblem(WithArg(LoadText(IDS_EXPORT_FAILED), path));
    // One record: 126 lines, written at once.
    const analysis::ComtradeResult written = WriteShownRecordComtrade(reader_, iniPath_, ComtradeOutBase(ansi));
    if (!written.error.empty()) TellProblem(WithArg(LoadText(IDS_EXPORT_FAILED), path) + L"\r\n" + Widen(written.error));
}

}  // namespace orvanta
