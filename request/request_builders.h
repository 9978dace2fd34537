// The header block and the URL-encoded form body of one query, byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "request/client_settings.h"

namespace orvanta {

enum class BuildResult {
    Ok,           // the body was stored
    NullPointer,  // no place to store the body was given
    OutOfMemory,  // the body could not be allocated
};

// "Content-Type: ...\r\nApi-Version: 1.0.0\r\nUser-ID: <userID>\r\nPassword: <password>\r\n"
std::string BuildRequestHeaders(const ClientSettings& settings);

// The header block's non-empty lines, each without its line end (CR LF or LF),
// in order: what an HTTP stack takes one header at a time.
std::vector<std::string> HeaderBlockLines(const std::string& headerBlock);

// Stores the form body (no terminating zero) in *postData:
// selectedTime=..&actualTime=..&data=..&data1=..&data2=..
// On failure *postData is left as it was.
BuildResult BuildPostData(std::vector<std::uint8_t>* postData, const ClientSettings& settings,
                          const CCardReader& reader);

// Form encoding: letters, digits and "-_.~" kept, blank -> '+', every other
// byte -> '%' and two lower-case hex digits.
std::string UrlEncode(const char* text);
// The same for the first `length` bytes of text (a NUL among them is encoded).
std::string UrlEncode(const char* text, std::size_t length);

// Lower-case hex digit of the low four bits of value.
char HexDigit(unsigned value);

}  // namespace orvanta
