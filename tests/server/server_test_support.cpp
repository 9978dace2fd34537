#include "server_test_support.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace orvanta::server::testing {

std::string NumberText(const std::vector<std::int32_t>& numbers) {
    std::string text;
    for (std::int32_t n : numbers) {
        text += std::to_string(n);
        text += ' ';
    }
    return text;
}

std::vector<std::int32_t> TrendNumbers(const std::vector<std::pair<int, int>>& points) {
    std::vector<std::int32_t> numbers{0, 0};
    for (const auto& [a, b] : points) {
        numbers.push_back(a);
        numbers.push_back(b);
    }
    for (std::size_t i = points.size(); i < 999; ++i) {
        numbers.push_back(0);
    }
    return numbers;
}

std::vector<std::int32_t> WaveNumbers(const std::map<int, double>& harmonicsB) {
    const double pi = std::acos(-1.0);
    std::vector<std::int32_t> numbers;
    for (int k = 0; k < 126; ++k) {
        double b = 0.0;
        for (const auto& [order, amplitude] : harmonicsB) {
            b += amplitude * std::sin(2.0 * pi * order * k / 96.0);  // 96 samples a period
        }
        numbers.push_back(static_cast<std::int32_t>(std::lround(2.0 * b)));  // channel A
        numbers.push_back(static_cast<std::int32_t>(std::lround(b)));        // channel B
    }
    return numbers;
}

FormTexts ValidTexts() {
    FormTexts texts;
    texts.wave = WaveNumbers({{1, 100.0}, {3, 5.0}, {5, 3.0}});
    texts.trend = TrendNumbers({{2, 230}, {3, 231}, {2, 229}});
    return texts;
}

std::string EncodeBody(const FormTexts& texts) {
    const auto encode = [](std::string text) {
        for (char& c : text) {
            if (c == ' ') c = '+';
        }
        return text;
    };
    return "selectedTime=" + std::to_string(texts.selectedTime) + "&actualTime=" + std::to_string(texts.actualTime) +
           "&data=" + encode(NumberText(texts.wave)) + "&data1=" + encode(NumberText(texts.trend)) +
           "&data2=" + encode(NumberText(texts.device));
}

}  // namespace orvanta::server::testing
