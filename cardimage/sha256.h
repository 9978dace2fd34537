// SHA-256 (FIPS 180-4) of a stream of bytes, for the digest that a saved card
// image carries beside it (IMAGE.sha256, as sha256sum writes it). Plain C++,
// the same on Linux and Windows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvanta {
namespace cardimage {

class CSha256 {
public:
    // kFastest uses the processor's SHA instructions where it has them (x86-64
    // SHA extensions, checked at run time), else the portable code.
    enum class Engine { kFastest, kPortable };

    explicit CSha256(Engine engine = Engine::kFastest);

    void Update(const void* data, std::size_t size);
    // `size` zero bytes, as a hole of a sparse file reads.
    void UpdateZeros(std::uint64_t size);

    // The digest as 64 lower-case hexadecimal digits; the object is spent.
    std::string HexDigest();

private:
    void Blocks(const std::uint8_t* data, std::size_t blocks);

    bool shaInstructions_ = false;

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace cardimage
}  // namespace orvanta
