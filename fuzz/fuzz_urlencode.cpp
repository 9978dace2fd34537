// The form encoding on arbitrary bytes: letters, digits and "-_.~" kept,
// blanks as '+', every other byte as '%' and two lower-case hex digits, and
// the encoding decodes back to the input.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "request/request_builders.h"

using namespace orvanta;

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;  // upper case is never written
}

bool IsKept(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const std::string encoded = UrlEncode(text, size);

    std::string decoded;
    std::size_t i = 0;
    while (i < encoded.size()) {
        const char c = encoded[i];
        if (c == '%') {
            FUZZ_REQUIRE(i + 2 < encoded.size());
            const int hi = HexValue(encoded[i + 1]);
            const int lo = HexValue(encoded[i + 2]);
            FUZZ_REQUIRE(hi >= 0 && lo >= 0);
            const unsigned char byte = static_cast<unsigned char>(hi * 16 + lo);
            // Bytes that are kept or turned into '+' are never escaped.
            FUZZ_REQUIRE(!IsKept(byte) && byte != ' ');
            decoded += static_cast<char>(byte);
            i += 3;
        } else if (c == '+') {
            decoded += ' ';
            ++i;
        } else {
            FUZZ_REQUIRE(IsKept(static_cast<unsigned char>(c)));
            decoded += c;
            ++i;
        }
    }
    FUZZ_REQUIRE(decoded.size() == size && std::memcmp(decoded.data(), data, size) == 0);

    // The C-string form stops at the first NUL.
    const std::string asText(text, size);
    const std::string upToNul = asText.substr(0, asText.find('\0'));
    FUZZ_REQUIRE(UrlEncode(upToNul.c_str()) == UrlEncode(upToNul.data(), upToNul.size()));
    FUZZ_REQUIRE(HexDigit(size) == "0123456789abcdef"[size & 15]);
    return 0;
}
