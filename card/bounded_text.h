// Writing runs of decimal integers into the reader's fixed-size text buffers
// without ever passing their end, and turning scaled values into integers
// without undefined conversions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvanta {

// The integer part, truncated toward zero, of `value`, limited to the signed
// 32-bit range (the nearest end when it lies outside; 0 for NaN).
std::int32_t TruncateToInt32(double value);

// Appends "%d " numbers to a NUL-terminated buffer of fixed capacity
// (terminator included). A number that does not fit in the remaining room is
// not written at all, and the text stays terminated.
class BoundedText {
public:
    BoundedText(char* buffer, std::size_t capacity);  // starts an empty text

    // Appends the number and one blank. Returns false when it did not fit.
    bool Append(std::int32_t value);
    // Appends "a b " as one piece: both numbers or neither.
    bool AppendPair(std::int32_t a, std::int32_t b);

    std::size_t Length() const { return length_; }

private:
    // Appends n bytes and the terminator when they fit; nothing otherwise.
    bool Put(const char* piece, std::size_t n);

    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

}  // namespace orvanta
