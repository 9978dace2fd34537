#include "server/request_log.h"

#include <cstdint>

namespace orvanta::server {
namespace {

class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n')) {
            ++pos_;
        }
    }
    bool Take(char c) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Peek(char c) {
        SkipSpace();
        return pos_ < text_.size() && text_[pos_] == c;
    }
    bool AtEnd() {
        SkipSpace();
        return pos_ == text_.size();
    }

    bool String(std::string& out) {
        out.clear();
        if (!Take('"')) return false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (pos_ >= text_.size()) return false;
            const char e = text_[pos_++];
            switch (e) {
                case '"': out.push_back('"'); break;
                case '\\': out.push_back('\\'); break;
                case '/': out.push_back('/'); break;
                case 'b': out.push_back('\b'); break;
                case 'f': out.push_back('\f'); break;
                case 'n': out.push_back('\n'); break;
                case 'r': out.push_back('\r'); break;
                case 't': out.push_back('\t'); break;
                case 'u': {
                    std::uint32_t cp = 0;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        std::uint32_t low = 0;
                        if (pos_ + 1 >= text_.size() || text_[pos_] != '\\' || text_[pos_ + 1] != 'u') return false;
                        pos_ += 2;
                        if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    AppendCodePoint(cp, out);
                    break;
                }
                default: return false;
            }
        }
        return false;
    }

private:
    bool Hex4(std::uint32_t& value) {
        if (pos_ + 4 > text_.size()) return false;
        value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            int d = -1;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            if (d < 0) return false;
            value = value * 16 + static_cast<std::uint32_t>(d);
        }
        return true;
    }

    // U+0000 to U+00FF stand for single bytes (that is how the recorder
    // writes raw bytes); anything above is ordinary text, kept as UTF-8.
    static void AppendCodePoint(std::uint32_t cp, std::string& out) {
        if (cp <= 0xFF) {
            out.push_back(static_cast<char>(cp));
        } else if (cp <= 0x7FF) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp <= 0xFFFF) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string JsonByteString(std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() + 2);
    out.push_back('"');
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u >= 0x20 && u < 0x7F) {
            out.push_back(c);
        } else {
            out += "\\u00";
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 0x0F]);
        }
    }
    out.push_back('"');
    return out;
}

std::string FormatRecordLine(const RecordedRequest& request) {
    std::string line = "{\"method\":" + JsonByteString(request.method) + ",\"path\":" + JsonByteString(request.path) +
                       ",\"headers\":{";
    bool first = true;
    for (const auto& [name, value] : request.headers) {
        if (!first) line.push_back(',');
        first = false;
        line += JsonByteString(name);
        line.push_back(':');
        line += JsonByteString(value);
    }
    line += "},\"body\":" + JsonByteString(request.body) + "}\n";
    return line;
}

bool ParseRecordLine(std::string_view line, RecordedRequest& request) {
    request = RecordedRequest();
    LineReader reader(line);
    if (!reader.Take('{')) return false;
    bool firstMember = true;
    while (!reader.Peek('}')) {
        if (!firstMember && !reader.Take(',')) return false;
        firstMember = false;
        std::string key;
        if (!reader.String(key) || !reader.Take(':')) return false;
        if (key == "headers") {
            if (!reader.Take('{')) return false;
            bool firstHeader = true;
            while (!reader.Peek('}')) {
                if (!firstHeader && !reader.Take(',')) return false;
                firstHeader = false;
                std::string name;
                std::string value;
                if (!reader.String(name) || !reader.Take(':') || !reader.String(value)) return false;
                request.headers.emplace_back(std::move(name), std::move(value));
            }
            reader.Take('}');
            continue;
        }
        std::string value;
        if (!reader.String(value)) return false;
        if (key == "method") request.method = std::move(value);
        else if (key == "path") request.path = std::move(value);
        else if (key == "body") request.body = std::move(value);
    }
    reader.Take('}');
    return reader.AtEnd();
}

RequestLog::~RequestLog() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool RequestLog::Open(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    file_ = std::fopen(path.c_str(), "ab");
    return file_ != nullptr;
}

bool RequestLog::Append(const RecordedRequest& request) {
    const std::string line = FormatRecordLine(request);
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_ == nullptr) {
        return false;
    }
    const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size();
    return std::fflush(file_) == 0 && written;
}

}  // namespace orvanta::server
