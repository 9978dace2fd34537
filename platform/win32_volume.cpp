// Win32 raw volumes: CreateFileA on the drive's device path ("\\.\E:"),
// SetFilePointer with a 64-bit offset split into its low and high halves,
// ReadFile and CloseHandle. The system names its drives itself; a drive the
// map names (the window's card image, `--image FILE`, always E:) is that file
// instead, opened the same way (its path in UTF-8, opened as UTF-16 so that
// any name works). A handle that is not a disk or a file (a pipe, a
// console) is no card device.
#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <limits>
#include <string>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace {

VolumeCause CauseOfError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:  // a reader without a card
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
        return VolumeCause::kNotFound;
    case ERROR_ACCESS_DENIED:
        return VolumeCause::kNoPermission;
    default:
        return VolumeCause::kIoError;
    }
}

class Win32Volume : public RawVolume {
public:
    explicit Win32Volume(HANDLE handle) : handle_(handle) {}
    ~Win32Volume() override { ::CloseHandle(handle_); }

    VolumeStatus SetPosition(std::uint64_t byteOffset) override {
        LONG low = static_cast<LONG>(static_cast<DWORD>(byteOffset & 0xFFFFFFFFULL));
        LONG high = static_cast<LONG>(static_cast<DWORD>(byteOffset >> 32));
        ::SetLastError(NO_ERROR);
        DWORD result = ::SetFilePointer(handle_, low, &high, FILE_BEGIN);
        // INVALID_SET_FILE_POINTER is also a valid low half of a large offset;
        // only GetLastError tells the two apart.
        if (result == INVALID_SET_FILE_POINTER) {
            const DWORD error = ::GetLastError();
            if (error != NO_ERROR) return VolumeStatus::Of(VolumeCause::kIoError, static_cast<int>(error));
        }
        return VolumeStatus();
    }

protected:
    // Reads until `count` bytes have come, the device ends, or it fails.
    VolumeRead ReadSome(void* buffer, std::size_t count) override {
        auto* out = static_cast<unsigned char*>(buffer);
        VolumeRead result;
        while (result.delivered < count) {
            const std::size_t rest = count - result.delivered;
            const DWORD want = rest > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                                        : static_cast<DWORD>(rest);
            DWORD got = 0;
            if (!::ReadFile(handle_, out + result.delivered, want, &got, NULL)) {
                // It opened, so the drive exists: whatever went wrong is I/O.
                result.status = VolumeStatus::Of(VolumeCause::kIoError, static_cast<int>(::GetLastError()));
                break;
            }
            if (got == 0) break;
            result.delivered += got;
        }
        return result;
    }

private:
    HANDLE handle_;
};

// A UTF-8 path as UTF-16; empty when it is not valid UTF-8.
std::wstring WidePath(const std::string& path) {
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, NULL, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

class Win32VolumeSystem : public RawVolumeSystem {
public:
    explicit Win32VolumeSystem(const DriveMap& drives) : drives_(drives) {}

    VolumeOpen Open(const char* devicePath) override {
        if (devicePath == nullptr) return VolumeOpen::Failed(VolumeCause::kNotFound);
        HANDLE handle = INVALID_HANDLE_VALUE;
        if (const std::string* image = drives_.Resolve(devicePath)) {
            // An image file, shared with whoever writes it (a save under way).
            const std::wstring wide = WidePath(*image);
            if (wide.empty()) return VolumeOpen::Failed(VolumeCause::kNotFound);
            handle = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                   OPEN_EXISTING, 0, NULL);
        } else {
            handle = ::CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        }
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            return VolumeOpen::Failed(CauseOfError(error), static_cast<int>(error));
        }
        if (::GetFileType(handle) != FILE_TYPE_DISK) {
            ::CloseHandle(handle);
            return VolumeOpen::Failed(VolumeCause::kNotCardDevice);
        }
        VolumeOpen result;
        result.volume = std::make_unique<Win32Volume>(handle);
        return result;
    }

private:
    DriveMap drives_;
};

}  // namespace

std::unique_ptr<RawVolumeSystem> MakePlatformVolumeSystem(const DriveMap& drives) {
    return std::make_unique<Win32VolumeSystem>(drives);
}

}  // namespace orvanta

#endif  // _WIN32
