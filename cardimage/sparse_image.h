// Sparse card images: a file of the card's full size in which only the sectors
// handed to it take space; every other sector is a hole and reads as zeros.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace orvanta {
namespace cardimage {

// Receives one 512-byte sector of a card and its number.
using SectorSink = std::function<void(std::uint32_t sector, const std::uint8_t* bytes)>;

// Creates (or truncates) `path` as an image of `sectors` sectors and calls
// `produce` once with a sink that writes sectors into it; runs of consecutive
// sectors are written together. Returns false with a message on failure.
bool WriteSparseImage(const std::string& path, std::uint64_t sectors,
                      const std::function<void(const SectorSink& emit)>& produce, std::string* error);

}  // namespace cardimage
}  // namespace orvanta
