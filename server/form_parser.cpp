#include "server/form_parser.h"

namespace orvanta::server {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A name fit to show in a message: the decoded name when it decodes, the raw
// text otherwise, cut to a readable length.
std::string ShownName(std::string_view encodedName) {
    std::string decoded;
    std::string shown = DecodeFormComponent(encodedName, decoded) ? decoded : std::string(encodedName);
    if (shown.size() > 40) {
        shown.resize(40);
        shown += "...";
    }
    return shown;
}

FormParseResult Fail(std::string field, std::string message, std::string english) {
    FormParseResult result;
    result.field = std::move(field);
    result.message = std::move(message);
    result.messageEnglish = std::move(english);
    return result;
}

}  // namespace

bool DecodeFormComponent(std::string_view encoded, std::string& out) {
    out.clear();
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c == '%') {
            if (i + 2 >= encoded.size()) {  // needs two more bytes
                return false;
            }
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            if (high < 0 || low < 0) {
                return false;
            }
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return true;
}

FormParseResult ParseForm(std::string_view body, const FormLimits& limits) {
    FormParseResult result;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string_view::npos) {
            end = body.size();
        }
        const std::string_view pair = body.substr(start, end - start);
        start = end + 1;
        if (pair.empty()) {
            continue;
        }
        if (result.fields.size() >= limits.maxFields) {
            return Fail("", "表单字段过多（最多 " + std::to_string(limits.maxFields) + " 个）",
                        "too many form fields (at most " + std::to_string(limits.maxFields) + ")");
        }
        const std::size_t eq = pair.find('=');
        const std::string_view encodedName = pair.substr(0, eq);
        const std::string_view encodedValue =
            eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        if (encodedName.size() > limits.maxNameLength) {
            return Fail(ShownName(encodedName), "字段名过长", "field name too long");
        }
        FormField field;
        if (!DecodeFormComponent(encodedName, field.name)) {
            return Fail(ShownName(encodedName), "字段名含有错误的百分号转义", "bad percent escape in the field name");
        }
        if (encodedValue.size() > limits.maxValueLength) {
            return Fail(field.name, "字段值过长（" + std::to_string(encodedValue.size()) + " 字节）",
                        "field value too long (" + std::to_string(encodedValue.size()) + " bytes)");
        }
        if (!DecodeFormComponent(encodedValue, field.value)) {
            return Fail(field.name, "字段值含有错误的百分号转义（应为 % 加两位十六进制数字）",
                        "bad percent escape in the field value (% and two hex digits expected)");
        }
        result.fields.push_back(std::move(field));
    }
    result.ok = true;
    return result;
}

}  // namespace orvanta::server
