// The fixed-size text buffers of the report texts: numbers come out exactly as
// "%d " writes them, and no capacity, however small, is ever written past.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "card/bounded_text.h"

namespace orvanta {
namespace {

constexpr std::int32_t kValues[] = {0, 1, -1, 9, 10, -10, 99, 518, -505, 65029, 1311, 123456789,
                                    -123456789, INT32_MAX, INT32_MIN, INT32_MIN + 1};

TEST(BoundedTextFormat, NumbersAreWrittenAsPrintfDoes) {
    char buffer[64];
    for (std::int32_t a : kValues) {
        for (std::int32_t b : kValues) {
            SCOPED_TRACE(std::to_string(a) + " " + std::to_string(b));
            char expected[64];
            std::snprintf(expected, sizeof expected, "%d %d %d ", a, b, a);
            BoundedText text(buffer, sizeof buffer);
            ASSERT_TRUE(text.AppendPair(a, b));
            ASSERT_TRUE(text.Append(a));
            EXPECT_STREQ(buffer, expected);
            EXPECT_EQ(text.Length(), std::strlen(expected));
        }
    }
}

TEST(BoundedTextFormat, NeverWritesPastItsCapacity) {
    // "-2147483648 -2147483648 " is 24 bytes, the longest pair there is.
    for (std::size_t capacity = 0; capacity <= 60; ++capacity) {
        SCOPED_TRACE(capacity);
        char storage[80];
        std::memset(storage, 0x7E, sizeof storage);
        BoundedText text(storage, capacity);
        std::string expected;
        for (int i = 0; i < 4; ++i) {
            char piece[32];
            const int n = std::snprintf(piece, sizeof piece, "%d %d ", INT32_MIN, i);
            const bool fits = expected.size() + static_cast<std::size_t>(n) + 1 <= capacity;
            EXPECT_EQ(text.AppendPair(INT32_MIN, i), fits);
            if (fits) expected += piece;
        }
        const bool fits = expected.size() + 2 + 1 <= capacity;
        EXPECT_EQ(text.Append(7), fits);
        if (fits) expected += "7 ";
        for (std::size_t i = capacity; i < sizeof storage; ++i) ASSERT_EQ(storage[i], 0x7E) << "byte " << i;
        if (capacity > 0) {
            EXPECT_EQ(std::string(storage), expected);
        }
        EXPECT_EQ(text.Length(), expected.size());
    }
}

}  // namespace
}  // namespace orvanta
