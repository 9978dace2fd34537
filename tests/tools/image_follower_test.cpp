// Reading a card image back behind its writer (cardimage/image_follower.h):
// the SHA-256 it computes while the image is written in ascending runs is the
// digest of the whole image (holes included), and data outside the copied
// ranges, or an image of the wrong length, fails the check. On Linux (holes
// asked of the file system) and, under Wine, on Windows (every byte read).
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "card/card_layout.h"
#include "cardimage/image_follower.h"
#include "cardimage/sha256.h"
#include "cardimage/sparse_image.h"

namespace orvanta {
namespace {

using cardimage::ByteRange;

struct SectorSpan {
    std::uint32_t first, end;
};

std::vector<std::uint8_t> SectorBytes(std::uint32_t sector) {
    std::vector<std::uint8_t> bytes(kSectorSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((sector * 7 + i) | 1);
    return bytes;
}

TEST(ImageFollower, HashesTheImageAsItIsWrittenAndRefusesWhatWasNotCopied) {
    struct Case {
        const char* name;
        std::vector<SectorSpan> written;  // ascending
        std::vector<SectorSpan> copied;
        std::uint32_t imageSectors;  // the file's size
        std::uint32_t toldSectors;   // the size the follower is told
        bool ok, differs;
    };
    const Case cases[] = {
        {"holes before, between and after the runs, and inside one",
         {{9000, 9001}, {10000, 12500}, {12600, 12601}}, {{9000, 9001}, {10000, 13000}}, 20000, 20000, true, false},
        {"a run that ends in the middle of a file system block", {{8, 11}}, {{8, 11}}, 4096, 4096, true, false},
        {"a sector written beside the copied one, in the same block", {{9000, 9002}}, {{9000, 9001}}, 9100, 9100,
         false, true},
        {"a sector written far from any copied range", {{100, 101}, {5000, 5001}}, {{100, 101}}, 9000, 9000, false,
         true},
        {"an image shorter than it should be (holes to its end)", {{10, 20}}, {{10, 20}}, 3000, 4000, false, false},
        {"an image shorter than it should be (inside a copied range)", {{10, 20}}, {{10, 3900}}, 3000, 4000, false,
         false},
    };
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("orvanta-follower-" + std::to_string(std::random_device()()) + ".img");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> expected(std::size_t{c.imageSectors} * kSectorSize);
        cardimage::CSparseImageWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Open(path.string(), c.imageSectors, &error)) << error;
        std::vector<ByteRange> copied;
        for (const SectorSpan& span : c.copied) {
            copied.push_back({std::uint64_t{span.first} * kSectorSize, std::uint64_t{span.end} * kSectorSize});
        }
        cardimage::CImageFollower follower(path.string(), std::uint64_t{c.toldSectors} * kSectorSize, copied);
        bool alone = true;  // one sector at a time and whole runs, by turns
        for (const SectorSpan& span : c.written) {
            std::vector<std::uint8_t> run;
            for (std::uint32_t s = span.first; s < span.end; ++s) {
                const std::vector<std::uint8_t> bytes = SectorBytes(s);
                std::copy(bytes.begin(), bytes.end(), expected.begin() + std::size_t{s} * kSectorSize);
                if (alone) writer.Add(s, bytes.data());
                run.insert(run.end(), bytes.begin(), bytes.end());
            }
            if (!alone) writer.AddRun(span.first, run.data(), span.end - span.first);
            alone = !alone;
            ASSERT_TRUE(writer.Flush());
            follower.Written(std::uint64_t{span.end} * kSectorSize);
        }
        ASSERT_TRUE(writer.Close(&error)) << error;
        const cardimage::CImageFollower::Outcome outcome = follower.Finish();
        EXPECT_EQ(outcome.ok, c.ok) << outcome.error;
        EXPECT_EQ(outcome.differs, c.differs) << outcome.error;
        if (c.ok) {
            cardimage::CSha256 sha;
            sha.Update(expected.data(), expected.size());
            EXPECT_EQ(outcome.sha256, sha.HexDigest());
        } else {
            EXPECT_FALSE(outcome.error.empty());
        }
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace orvanta
