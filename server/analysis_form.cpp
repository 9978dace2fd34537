#include "server/analysis_form.h"

#include <charconv>

namespace orvanta::server {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct FieldRule {
    const char* name;
    std::size_t maxLength;  // decoded bytes
};

// Generous for every text the client can send: at most eleven characters and
// a blank per number.
constexpr FieldRule kRules[] = {
    {"selectedTime", 16},
    {"actualTime", 16},
    {"data", 8 * 1024},
    {"data1", 64 * 1024},
    {"data2", 512},
};
constexpr std::size_t kRuleCount = sizeof(kRules) / sizeof(kRules[0]);

AnalysisFormResult Fail(std::string field, std::string message, std::string english) {
    AnalysisFormResult result;
    result.field = std::move(field);
    result.message = std::move(message);
    result.messageEnglish = std::move(english);
    return result;
}

bool CheckTime(const std::string& text, std::int32_t& value) {
    return ParseInt32(text, value);
}

}  // namespace

bool ParseInt32(std::string_view text, std::int32_t& value) {
    if (text.empty()) {
        return false;
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    // from_chars takes a leading '-' but no '+', and never throws.
    std::int32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(first, last, parsed, 10);
    if (ec != std::errc() || ptr != last) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseIntegerList(std::string_view text, std::size_t maxCount, std::vector<std::int32_t>& numbers,
                      std::string& error, std::string* errorEnglish) {
    numbers.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsBlank(text[end])) {
            ++end;
        }
        if (numbers.size() >= maxCount) {
            error = "整数个数超过 " + std::to_string(maxCount);
            if (errorEnglish != nullptr) *errorEnglish = "more than " + std::to_string(maxCount) + " integers";
            return false;
        }
        std::int32_t value = 0;
        if (!ParseInt32(text.substr(i, end - i), value)) {
            error = "第 " + std::to_string(numbers.size() + 1) + " 个数不是有效的 32 位整数";
            if (errorEnglish != nullptr) {
                *errorEnglish = "number " + std::to_string(numbers.size() + 1) + " is no valid 32-bit integer";
            }
            return false;
        }
        numbers.push_back(value);
        i = end;
    }
    return true;
}

long TrendPointsForCount(std::size_t count) {
    // P from 0 to 999: 1001 + P numbers; P = 1000: 2002 numbers.
    if (count >= 1001 && count <= 2000) {
        return static_cast<long>(count) - 1001;
    }
    if (count == 2 + 2 * kMaxTrendPoints) {
        return static_cast<long>(kMaxTrendPoints);
    }
    return -1;
}

AnalysisFormResult CheckAnalysisFields(const std::vector<FormField>& fields) {
    const std::string* values[kRuleCount] = {};
    for (const FormField& field : fields) {
        for (std::size_t r = 0; r < kRuleCount; ++r) {
            if (field.name != kRules[r].name) {
                continue;
            }
            if (values[r] != nullptr) {
                return Fail(field.name, "字段重复出现", "field given twice");
            }
            if (field.value.size() > kRules[r].maxLength) {
                return Fail(field.name,
                            "字段过长（" + std::to_string(field.value.size()) + " 字节，最多 " +
                                std::to_string(kRules[r].maxLength) + "）",
                            "field too long (" + std::to_string(field.value.size()) + " bytes, at most " +
                                std::to_string(kRules[r].maxLength) + ")");
            }
            values[r] = &field.value;
        }
    }
    // The fields in their order: the first that is missing or malformed is named.
    const auto missing = [&](std::size_t r) { return values[r] == nullptr; };
    AnalysisFormResult result;
    AnalysisForm& form = result.form;
    if (missing(0)) {
        return Fail(kRules[0].name, "缺少字段", "field missing");
    }
    if (!CheckTime(*values[0], form.selectedTime)) {
        return Fail("selectedTime", "应为一个有符号 32 位整数", "a signed 32-bit integer expected");
    }
    if (missing(1)) {
        return Fail(kRules[1].name, "缺少字段", "field missing");
    }
    if (!CheckTime(*values[1], form.actualTime)) {
        return Fail("actualTime", "应为一个有符号 32 位整数", "a signed 32-bit integer expected");
    }
    if (missing(2)) {
        return Fail(kRules[2].name, "缺少字段", "field missing");
    }
    std::vector<std::int32_t> numbers;
    std::string error;
    std::string english;
    if (!ParseIntegerList(*values[2], kWaveNumbers, numbers, error, &english)) {
        return Fail("data", error, english);
    }
    if (numbers.size() != kWaveNumbers) {
        return Fail("data",
                    "应有 " + std::to_string(kWaveNumbers) + " 个整数，实际 " + std::to_string(numbers.size()) + " 个",
                    std::to_string(kWaveNumbers) + " integers expected, " + std::to_string(numbers.size()) + " given");
    }
    form.channelA.reserve(kWaveSamples);
    form.channelB.reserve(kWaveSamples);
    for (std::size_t k = 0; k < kWaveSamples; ++k) {
        form.channelA.push_back(numbers[2 * k]);
        form.channelB.push_back(numbers[2 * k + 1]);
    }

    if (missing(3)) {
        return Fail(kRules[3].name, "缺少字段", "field missing");
    }
    if (!ParseIntegerList(*values[3], 2 + 2 * kMaxTrendPoints, numbers, error, &english)) {
        return Fail("data1", error, english);
    }
    const long points = TrendPointsForCount(numbers.size());
    if (points < 0) {
        return Fail("data1",
                    "整数个数 " + std::to_string(numbers.size()) +
                        " 不符合“0 0、趋势点对、补零”的格式（应为 1001 至 2000 或 2002 个）",
                    std::to_string(numbers.size()) +
                        " integers do not fit \"0 0, trend pairs, zero fill\" (1001 to 2000 or 2002 expected)");
    }
    if (numbers[0] != 0 || numbers[1] != 0) {
        return Fail("data1", "应以“0 0”开头", "must begin with \"0 0\"");
    }
    const std::size_t pairsEnd = 2 + 2 * static_cast<std::size_t>(points);
    for (std::size_t i = pairsEnd; i < numbers.size(); ++i) {
        if (numbers[i] != 0) {
            return Fail("data1", "趋势点之后的补位应全为 0（第 " + std::to_string(i + 1) + " 个数不是 0）",
                        "the fill after the trend points must be all 0 (number " + std::to_string(i + 1) + " is not)");
        }
    }
    form.trend.reserve(static_cast<std::size_t>(points));
    for (std::size_t i = 2; i < pairsEnd; i += 2) {
        form.trend.push_back(TrendPoint{numbers[i], numbers[i + 1]});
    }

    if (missing(4)) {
        return Fail(kRules[4].name, "缺少字段", "field missing");
    }
    if (!ParseIntegerList(*values[4], kDeviceNumbers, numbers, error, &english)) {
        return Fail("data2", error, english);
    }
    if (numbers.size() != kDeviceNumbers) {
        return Fail(
            "data2",
            "应有 " + std::to_string(kDeviceNumbers) + " 个整数，实际 " + std::to_string(numbers.size()) + " 个",
            std::to_string(kDeviceNumbers) + " integers expected, " + std::to_string(numbers.size()) + " given");
    }
    form.device = DeviceRecord{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]};

    result.ok = true;
    return result;
}

AnalysisFormResult ParseAnalysisForm(std::string_view body) {
    const FormParseResult split = ParseForm(body);
    if (!split.ok) {
        return Fail(split.field, split.message, split.messageEnglish);
    }
    return CheckAnalysisFields(split.fields);
}

}  // namespace orvanta::server
