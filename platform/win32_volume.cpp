// Win32 raw volumes: CreateFileA on the drive's device path ("\\.\E:"),
// SetFilePointer with a 64-bit offset split into its low and high halves,
// ReadFile and CloseHandle. Device paths are real here, so the drive map is
// not consulted.
#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <limits>

#include "platform/drive_map.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace {

class Win32Volume : public RawVolume {
public:
    explicit Win32Volume(HANDLE handle) : handle_(handle) {}
    ~Win32Volume() override { ::CloseHandle(handle_); }

    bool SetPosition(std::uint64_t byteOffset) override {
        LONG low = static_cast<LONG>(static_cast<DWORD>(byteOffset & 0xFFFFFFFFULL));
        LONG high = static_cast<LONG>(static_cast<DWORD>(byteOffset >> 32));
        ::SetLastError(NO_ERROR);
        DWORD result = ::SetFilePointer(handle_, low, &high, FILE_BEGIN);
        // INVALID_SET_FILE_POINTER is also a valid low half of a large offset;
        // only GetLastError tells the two apart.
        if (result == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return false;
        return true;
    }

    // Reads until `count` bytes have come, the device ends, or it fails.
    std::int64_t Read(void* buffer, std::size_t count) override {
        auto* out = static_cast<unsigned char*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            std::size_t rest = count - done;
            DWORD want = rest > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                                  : static_cast<DWORD>(rest);
            DWORD got = 0;
            if (!::ReadFile(handle_, out + done, want, &got, NULL)) {
                if (done == 0) return -1;
                break;
            }
            if (got == 0) break;
            done += got;
        }
        return static_cast<std::int64_t>(done);
    }

private:
    HANDLE handle_;
};

class Win32VolumeSystem : public RawVolumeSystem {
public:
    std::unique_ptr<RawVolume> Open(const char* devicePath) override {
        if (devicePath == nullptr) return nullptr;
        HANDLE handle = ::CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        if (handle == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32Volume>(handle);
    }
};

}  // namespace

std::unique_ptr<RawVolumeSystem> MakePlatformVolumeSystem(const DriveMap&) {
    return std::make_unique<Win32VolumeSystem>();
}

}  // namespace orvanta

#endif  // _WIN32
