#include "fuzz/fuzz_support.h"

namespace orvanta {
namespace fuzz {

long CountNumbers(const char* text, std::size_t capacity) {
    const void* end = std::memchr(text, '\0', capacity);
    if (end == nullptr) return -1;
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - text);
    long count = 0;
    std::size_t i = 0;
    while (i < length) {
        const bool negative = text[i] == '-';
        if (negative) ++i;
        const std::size_t from = i;
        long long value = 0;
        while (i < length && text[i] >= '0' && text[i] <= '9') {
            if (i - from >= 10) return -1;
            value = value * 10 + (text[i] - '0');
            ++i;
        }
        if (i == from || i >= length || text[i] != ' ') return -1;
        if (text[from] == '0' && (i - from > 1 || negative)) return -1;
        if (negative ? value > 2147483648LL : value > 2147483647LL) return -1;
        ++i;
        ++count;
    }
    return count;
}

void ParseNumbers(const char* text, long long* numbers, std::size_t max) {
    std::size_t n = 0;
    const char* p = text;
    while (*p != '\0' && n < max) {
        const bool negative = *p == '-';
        if (negative) ++p;
        long long value = 0;
        while (*p >= '0' && *p <= '9') value = value * 10 + (*p++ - '0');
        numbers[n++] = negative ? -value : value;
        if (*p == ' ') ++p;
    }
}

}  // namespace fuzz
}  // namespace orvanta
