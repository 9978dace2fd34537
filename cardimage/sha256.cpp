#include "cardimage/sha256.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>
#define ORVANTA_SHA_INSTRUCTIONS 1
#endif

namespace orvanta {
namespace cardimage {
namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

inline std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void PortableBlock(std::uint32_t* state_, const std::uint8_t* p) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i) {
        w[i] = (std::uint32_t{p[4 * i]} << 24) | (std::uint32_t{p[4 * i + 1]} << 16) |
               (std::uint32_t{p[4 * i + 2]} << 8) | std::uint32_t{p[4 * i + 3]};
    }
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    std::uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

#ifdef ORVANTA_SHA_INSTRUCTIONS
bool HasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool ssse3 = (c & (1u << 9)) != 0, sse41 = (c & (1u << 19)) != 0;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return ssse3 && sse41 && (b & (1u << 29)) != 0;
}

// The same compression with the SHA extensions: the state kept as ABEF and
// CDGH, four rounds of message schedule per vector.
__attribute__((target("sha,sse4.1,ssse3"))) void ShaInstructionBlocks(std::uint32_t* state, const std::uint8_t* data,
                                                                      std::size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i hgfe = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, hgfe, 8);
    __m128i cdgh = _mm_blend_epi16(hgfe, dcba, 0xF0);
    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i m[4];
        for (int i = 0; i < 4; ++i) {
            m[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
        }
        for (int r = 0; r < 16; ++r) {
            if (r >= 4) {
                // W[t] = s1(W[t-2]) + W[t-7] + s0(W[t-15]) + W[t-16], four at a time.
                __m128i next = _mm_sha256msg1_epu32(m[r % 4], m[(r + 1) % 4]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(m[(r + 3) % 4], m[(r + 2) % 4], 4));
                m[r % 4] = _mm_sha256msg2_epu32(next, m[(r + 3) % 4]);
            }
            __m128i words = _mm_add_epi32(m[r % 4], _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound + 4 * r)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
            words = _mm_shuffle_epi32(words, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}
#endif

}  // namespace

CSha256::CSha256(Engine engine)
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {
#ifdef ORVANTA_SHA_INSTRUCTIONS
    static const bool available = HasShaInstructions();
    shaInstructions_ = engine == Engine::kFastest && available;
#else
    (void)engine;
#endif
}

void CSha256::Blocks(const std::uint8_t* data, std::size_t blocks) {
#ifdef ORVANTA_SHA_INSTRUCTIONS
    if (shaInstructions_) {
        ShaInstructionBlocks(state_.data(), data, blocks);
        return;
    }
#endif
    for (; blocks > 0; --blocks, data += 64) PortableBlock(state_.data(), data);
}

void CSha256::Update(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    length_ += size;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(size, pending_.size() - pendingSize_);
        std::memcpy(pending_.data() + pendingSize_, p, take);
        pendingSize_ += take;
        p += take;
        size -= take;
        if (pendingSize_ < pending_.size()) return;
        Blocks(pending_.data(), 1);
        pendingSize_ = 0;
    }
    const std::size_t whole = size / 64;
    Blocks(p, whole);
    p += whole * 64;
    size -= whole * 64;
    std::memcpy(pending_.data(), p, size);
    pendingSize_ = size;
}

void CSha256::UpdateZeros(std::uint64_t size) {
    static const std::uint8_t zeros[65536] = {};
    while (size > 0) {
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof zeros));
        Update(zeros, take);
        size -= take;
    }
}

std::string CSha256::HexDigest() {
    const std::uint64_t bits = length_ * 8;
    const std::uint8_t one = 0x80;
    Update(&one, 1);
    while (pendingSize_ != 56) UpdateZeros(1);
    std::uint8_t tail[8];
    for (int i = 0; i < 8; ++i) tail[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Update(tail, 8);
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint32_t word : state_) {
        for (int shift = 28; shift >= 0; shift -= 4) hex += digits[(word >> shift) & 0xf];
    }
    return hex;
}

}  // namespace cardimage
}  // namespace orvanta
