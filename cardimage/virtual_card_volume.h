// A raw volume system that serves one VirtualCard under one device path (for
// example "\\.\E:"): the card reader reads it as it reads a card in a drive,
// every other path names nothing.
#pragma once

#include <memory>
#include <string>

#include "cardimage/virtual_card.h"
#include "platform/raw_volume.h"

namespace orvanta {
namespace cardimage {

class VirtualCardVolumeSystem : public RawVolumeSystem {
public:
    // `card` must outlive the system and its volumes.
    VirtualCardVolumeSystem(const VirtualCard& card, std::string devicePath);

    VolumeOpen Open(const char* devicePath) override;

private:
    const VirtualCard& card_;
    std::string devicePath_;
};

}  // namespace cardimage
}  // namespace orvanta
