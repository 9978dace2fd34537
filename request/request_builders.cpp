#include "request/request_builders.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace orvanta {
namespace {

const char kApiVersion[] = "1.0.0";

// A text field of fixed capacity, read up to its terminator or its end,
// whichever comes first.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

std::string Decimal(std::int32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%d", static_cast<int>(value));
    return digits;
}

bool KeptAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~';
}

}  // namespace

char HexDigit(unsigned value) { return "0123456789abcdef"[value & 0xFu]; }

std::string UrlEncode(const char* text, std::size_t length) {
    std::string out;
    if (text == nullptr) return out;
    out.reserve(length * 3);
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (KeptAsIs(c)) {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += HexDigit(c >> 4);
            out += HexDigit(c);
        }
    }
    return out;
}

std::string UrlEncode(const char* text) { return UrlEncode(text, text != nullptr ? std::strlen(text) : 0); }

std::string BuildRequestHeaders(const ClientSettings& settings) {
    std::string block = "Content-Type: application/x-www-form-urlencoded\r\n";
    block += "Api-Version: ";
    block += kApiVersion;
    block += "\r\n";
    block += "User-ID: ";
    block += FieldText(settings.userID);
    block += "\r\n";
    block += "Password: ";
    block += FieldText(settings.password);
    block += "\r\n";
    return block;
}

BuildResult BuildPostData(std::vector<std::uint8_t>* postData, const ClientSettings& settings,
                          const CCardReader& reader) {
    if (postData == nullptr) return BuildResult::NullPointer;
    try {
        std::string body = "selectedTime=" + Decimal(settings.selectedTime);
        body += "&actualTime=" + Decimal(settings.actualTime);
        body += "&data=";
        body += UrlEncode(reader.waveText, strnlen(reader.waveText, sizeof(reader.waveText)));
        body += "&data1=";
        body += UrlEncode(reader.trendText, strnlen(reader.trendText, sizeof(reader.trendText)));
        body += "&data2=";
        body += UrlEncode(reader.infoText, strnlen(reader.infoText, sizeof(reader.infoText)));
        std::vector<std::uint8_t> bytes(body.begin(), body.end());
        postData->swap(bytes);
    } catch (const std::bad_alloc&) {
        return BuildResult::OutOfMemory;
    }
    return BuildResult::Ok;
}

std::vector<std::string> HeaderBlockLines(const std::string& headerBlock) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < headerBlock.size()) {
        std::size_t end = headerBlock.find('\n', start);
        if (end == std::string::npos) end = headerBlock.size();
        std::string line = headerBlock.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace orvanta
