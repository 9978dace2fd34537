// SHA-256 of card images (cardimage/sha256.h): known digests through both
// engines (the processor's SHA instructions where it has them, and the
// portable one), fed in uneven pieces and runs of zeros. On Linux and, under
// Wine, on Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "cardimage/sha256.h"

namespace orvanta {
namespace {

TEST(Sha256, KnownDigests) {
    struct Case {
        std::string input;
        std::uint64_t zeros;  // then this many zero bytes
        const char* digest;
    };
    const Case cases[] = {
        {"", 0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", 0, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 0,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"", 512, "076a27c79e5ace2a3d47f9dd2e83e4ff6ea8872b3c2218f66c92b89b55f36560"},
        {"x", 1 << 20, "81d46c011ceab8fa67d09be457c8692388b3309c29a8cccd24eacee04d559ba4"},
    };
    for (const Case& c : cases) {
        for (const auto engine : {cardimage::CSha256::Engine::kFastest, cardimage::CSha256::Engine::kPortable}) {
            cardimage::CSha256 sha(engine);
            // In uneven pieces, so that blocks straddle the calls.
            for (std::size_t at = 0; at < c.input.size(); at += 5) {
                sha.Update(c.input.data() + at, std::min<std::size_t>(5, c.input.size() - at));
            }
            sha.UpdateZeros(c.zeros);
            EXPECT_EQ(sha.HexDigest(), c.digest) << c.input;
        }
    }
}

}  // namespace
}  // namespace orvanta
