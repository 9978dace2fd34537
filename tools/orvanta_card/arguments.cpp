#include "tools/orvanta_card/arguments.h"

#include <cctype>

namespace orvanta {
namespace cardtool {

bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t* value) {
    std::uint64_t base = 10;
    std::size_t i = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i >= text.size()) return false;
    std::uint64_t result = 0;
    for (; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::uint64_t digit;
        if (std::isdigit(c)) {
            digit = c - '0';
        } else if (base == 16 && std::isxdigit(c)) {
            digit = static_cast<std::uint64_t>(std::tolower(c) - 'a' + 10);
        } else {
            return false;
        }
        if (digit > max || result > (max - digit) / base) return false;
        result = result * base + digit;
    }
    *value = result;
    return true;
}

bool ParseUnsignedList(const std::string& text, std::uint64_t max, std::vector<std::uint32_t>* values) {
    std::vector<std::uint32_t> out;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::uint64_t v = 0;
        if (!ParseUnsigned(item, max, &v)) return false;
        out.push_back(static_cast<std::uint32_t>(v));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    *values = out;
    return true;
}

}  // namespace cardtool
}  // namespace orvanta
