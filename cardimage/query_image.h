// Query images: a card too large to write whole (millions of records) stored
// as a sparse image of its full size that holds only the sectors the card
// reader reads to answer given queries, plus the information and test sectors.
// Every other sector is a hole. Read through a drive, such an image answers
// those queries exactly as the whole card would.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "cardimage/card_image.h"
#include "cardimage/virtual_card.h"

namespace orvanta {
namespace cardimage {

// The drive the card sits in while the queries run.
constexpr char kQueryImageDrive = 'E';

// Runs the card reader on `card` in drive E: (its drive search, then
// QueryCard for each time in turn) and returns every sector it read, clipped
// to the card's size, together with the information and test sectors.
std::set<std::uint32_t> SectorsReadByQueries(const VirtualCard& card, const std::vector<std::int32_t>& queryTimes);

struct QueryImageResult {
    CardLayout layout;
    std::uint64_t sectorsWritten = 0;  // sectors holding data; the rest are holes
};

// Writes the query image of `contents` for the given times to `path`. The
// contents must suit a VirtualCard (one record in every second). Returns false
// with a message when they do not or the file cannot be written.
bool WriteQueryImage(const std::string& path, const CardContents& contents, const std::vector<std::int32_t>& queryTimes,
                     QueryImageResult* result, std::string* error);

}  // namespace cardimage
}  // namespace orvanta
