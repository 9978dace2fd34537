#include "card/bounded_text.h"

#include <cmath>
#include <cstdio>
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

bool BoundedText::Append(std::int32_t value) {
    char piece[16];
    int n = std::snprintf(piece, sizeof piece, "%d ", value);
    if (n <= 0 || length_ + static_cast<std::size_t>(n) + 1 > capacity_) return false;
    std::memcpy(buffer_ + length_, piece, static_cast<std::size_t>(n) + 1);
    length_ += static_cast<std::size_t>(n);
    return true;
}

bool BoundedText::AppendPair(std::int32_t a, std::int32_t b) {
    char piece[32];
    int n = std::snprintf(piece, sizeof piece, "%d %d ", a, b);
    if (n <= 0 || length_ + static_cast<std::size_t>(n) + 1 > capacity_) return false;
    std::memcpy(buffer_ + length_, piece, static_cast<std::size_t>(n) + 1);
    length_ += static_cast<std::size_t>(n);
    return true;
}

}  // namespace orvanta
