// The platform-independent half of a raw volume: a read zero-fills what it
// did not deliver and tells a short read from a complete one, once for every
// implementation.
#include "platform/raw_volume.h"

#include <cstring>

namespace orvanta {

VolumeRead RawVolume::Read(void* buffer, std::size_t count) {
    VolumeRead result = ReadSome(buffer, count);
    if (result.delivered > count) result.delivered = count;
    if (result.delivered < count) {
        std::memset(static_cast<unsigned char*>(buffer) + result.delivered, 0, count - result.delivered);
        if (result.status.Ok()) result.status = VolumeStatus::Of(VolumeCause::kShortRead);
    }
    return result;
}

VolumeRead RawVolume::ReadAt(std::uint64_t byteOffset, void* buffer, std::size_t count) {
    const VolumeStatus positioned = SetPosition(byteOffset);
    if (!positioned.Ok()) {
        std::memset(buffer, 0, count);
        VolumeRead result;
        result.status = positioned;
        return result;
    }
    return Read(buffer, count);
}

VolumeRead ReadVolumeOnce(RawVolumeSystem& volumes, const char* devicePath, std::uint64_t byteOffset, void* buffer,
                          std::size_t count) {
    VolumeOpen opened = volumes.Open(devicePath);
    if (!opened) {
        std::memset(buffer, 0, count);
        VolumeRead result;
        result.status = opened.status;
        return result;
    }
    return opened->ReadAt(byteOffset, buffer, count);  // the volume closes on return
}

std::string DevicePathOf(char letter) {
    std::string path = "\\\\.\\";
    path += letter;
    path += ':';
    return path;
}

}  // namespace orvanta
