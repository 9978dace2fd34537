// Splitting an application/x-www-form-urlencoded body into named fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::server {

// One decoded name=value pair, in the order of the body.
struct FormField {
    std::string name;
    std::string value;
};

// Bounds that keep a hostile body from costing more than a look at it.
struct FormLimits {
    std::size_t maxFields = 64;         // pairs in the body, empty ones not counted
    std::size_t maxNameLength = 64;     // encoded bytes of one name
    std::size_t maxValueLength = 256 * 1024;  // encoded bytes of one value
};

struct FormParseResult {
    bool ok = false;
    std::vector<FormField> fields;  // every pair, when ok
    std::string field;              // the field at fault, when not ok (may be empty)
    std::string message;            // Chinese description of the fault, when not ok
    std::string messageEnglish;     // the same in English
};

// Decodes one encoded component: '+' is a blank, "%hh" (either case) a byte.
// Returns false, leaving `out` unspecified, on a '%' not followed by two hex
// digits.
bool DecodeFormComponent(std::string_view encoded, std::string& out);

// Splits the body at '&' and each pair at its first '='. Empty pairs ("&&")
// are skipped; a pair without '=' has an empty value. A bad escape, an
// over-long name or value, or too many pairs rejects the whole body, naming
// the field concerned.
FormParseResult ParseForm(std::string_view body, const FormLimits& limits = FormLimits());

}  // namespace orvanta::server
