#include "winui/card_access.h"

#include <windows.h>

namespace orvanta {

char DriveDenyingAccess() {
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) continue;
        const char root[] = {letter, ':', '\\', '\0'};
        if (::GetDriveTypeA(root) != DRIVE_REMOVABLE) continue;
        const char device[] = {'\\', '\\', '.', '\\', letter, ':', '\0'};
        const HANDLE volume = ::CreateFileA(device, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr);
        if (volume != INVALID_HANDLE_VALUE) {
            ::CloseHandle(volume);
            continue;
        }
        if (::GetLastError() == ERROR_ACCESS_DENIED) return letter;
    }
    return 0;
}

std::string SystemDeviceNameOf(char letter) {
    const char drive[] = {letter, ':', '\0'};
    char path[MAX_PATH] = {};
    if (::QueryDosDeviceA(drive, path, MAX_PATH) == 0) return std::string();
    return path;
}

}  // namespace orvanta
