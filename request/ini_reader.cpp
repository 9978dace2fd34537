#include "request/ini_reader.h"

#include <cstring>
#include <utility>

#include "platform/small_file.h"

namespace orvanta {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text between the first and last non-blank characters of [begin, end).
std::string Trimmed(const char* begin, const char* end) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    return std::string(begin, end);
}

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string Unquoted(std::string value) {
    if (value.size() >= 2) {
        char first = value.front();
        if ((first == '"' || first == '\'') && value.back() == first) {
            return value.substr(1, value.size() - 2);
        }
    }
    return value;
}

// The whole file; false when it cannot be read: missing, no regular file (a
// FIFO would block, a device may never end) or larger than the small-file
// limit. Such a file gives the defaults; the query road refuses it first.
bool ReadWholeFile(const std::string& path, std::string* contents) {
    SmallFile file = ReadSmallFile(path);
    if (file.status != SmallFileStatus::kRead) return false;
    *contents = std::move(file.contents);
    return true;
}

}  // namespace

bool FindIniValue(const std::string& contents, const char* section, const char* key, std::string* value) {
    if (section == nullptr || key == nullptr) return false;
    const char* pos = contents.data();
    const char* const end = pos + contents.size();
    if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0) pos += 3;

    bool inSection = false;
    while (pos < end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(pos, '\n', static_cast<std::size_t>(end - pos)));
        if (lineEnd == nullptr) lineEnd = end;
        const char* next = lineEnd < end ? lineEnd + 1 : end;
        const char* last = lineEnd;
        if (last > pos && last[-1] == '\r') --last;

        const char* first = pos;
        while (first < last && IsBlank(*first)) ++first;
        pos = next;
        if (first == last || *first == ';') continue;

        // A section header needs its closing bracket; a line that only opens
        // one is an ordinary line of the section it stands in, as for the API.
        const char* close =
            *first == '[' ? static_cast<const char*>(std::memchr(first, ']', static_cast<std::size_t>(last - first)))
                          : nullptr;
        if (close != nullptr) {
            if (inSection) break;  // only the first section of that name is searched
            if (SameNameIgnoringCase(Trimmed(first + 1, close), section)) inSection = true;
            continue;
        }
        if (!inSection) continue;

        const char* equals = static_cast<const char*>(std::memchr(first, '=', static_cast<std::size_t>(last - first)));
        if (equals == nullptr) continue;
        if (SameNameIgnoringCase(Trimmed(first, equals), key)) {
            *value = Unquoted(Trimmed(equals + 1, last));
            return true;
        }
    }
    return false;
}

std::size_t ReadIniString(const char* section, const char* key, const char* defaultValue, char* out,
                          std::size_t limit, const std::string& path) {
    if (out == nullptr || limit == 0) return 0;
    std::string contents;
    std::string value;
    const char* source = defaultValue != nullptr ? defaultValue : "";
    std::size_t length = std::strlen(source);
    if (!path.empty() && ReadWholeFile(path, &contents) && FindIniValue(contents, section, key, &value)) {
        source = value.c_str();
        length = value.size();
    }
    if (length > limit - 1) length = limit - 1;
    std::memcpy(out, source, length);
    out[length] = '\0';
    return length;
}

}  // namespace orvanta
