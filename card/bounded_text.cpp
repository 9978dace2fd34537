#include "card/bounded_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace orvanta {

std::int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(value);
}

BoundedText::BoundedText(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {
    if (capacity_ > 0) buffer_[0] = '\0';
}

// Numbers are written with std::to_chars: the same digits as "%d", without
// the cost of parsing a format for every number of a text of thousands.
bool BoundedText::Append(std::int32_t value) {
    char piece[16];
    char* end = std::to_chars(piece, piece + sizeof piece, value).ptr;
    *end++ = ' ';
    return Put(piece, static_cast<std::size_t>(end - piece));
}

bool BoundedText::AppendPair(std::int32_t a, std::int32_t b) {
    char piece[32];
    char* end = std::to_chars(piece, piece + 12, a).ptr;
    *end++ = ' ';
    end = std::to_chars(end, piece + sizeof piece, b).ptr;
    *end++ = ' ';
    return Put(piece, static_cast<std::size_t>(end - piece));
}

bool BoundedText::Put(const char* piece, std::size_t n) {
    if (length_ + n + 1 > capacity_) return false;
    std::memcpy(buffer_ + length_, piece, n);
    length_ += n;
    buffer_[length_] = '\0';
    return true;
}

}  // namespace orvanta
