// Shared pieces of the fuzz targets: a reader that takes typed values from the
// fuzzer's bytes, and checks of the report texts' shapes. A violated check
// traps, so the fuzzer records the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

// Checks one invariant of a fuzz target; a violation traps.
#define FUZZ_REQUIRE(condition)                                                      \
    do {                                                                             \
        if (!(condition)) ::orvanta::fuzz::Fail(#condition, __FILE__, __LINE__);   \
    } while (0)

namespace orvanta {
namespace fuzz {

// Names the invariant that failed and stops the run at once.
[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant does not hold: %s\n", file, line, condition);
    __builtin_trap();
}

// Takes values from the front of the input; past its end every value is 0.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Little-endian values. The bytes are taken one statement at a time: the
    // operands of one expression have no order of evaluation, so the same
    // input would decode differently from one compiler to the next.
    std::uint16_t U16() {
        const std::uint16_t low = Byte();
        const std::uint16_t high = Byte();
        return static_cast<std::uint16_t>(low | (high << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        const std::uint32_t high = U16();
        return low | (high << 16);
    }
    std::uint64_t U64() {
        const std::uint64_t low = U32();
        const std::uint64_t high = U32();
        return low | (high << 32);
    }
    double Double() {
        const std::uint64_t bits = U64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Up to `count` bytes (fewer at the end of the input).
    std::string Bytes(std::size_t count) {
        const std::size_t n = count < Remaining() ? count : Remaining();
        std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return out;
    }
    std::string Rest() { return Bytes(Remaining()); }
    std::size_t Remaining() const { return size_ - pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The count of numbers in a text of "%d " pieces held in a buffer of
// `capacity` bytes, or -1 when the text is not terminated inside the buffer
// or is not exactly a run of decimal integers (optional '-', digits, no
// leading zeros) each followed by one blank. Each number must fit in 32 bits.
long CountNumbers(const char* text, std::size_t capacity);

// The text of "%d %d " pairs and "%d " numbers the way the texts are written,
// parsed into numbers (only for texts CountNumbers accepted).
void ParseNumbers(const char* text, long long* numbers, std::size_t max);

}  // namespace fuzz
}  // namespace orvanta
