#include "tests/common/test_env.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "card/local_time.h"

namespace orvanta {
namespace testenv {

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
        hadZone_ = true;
        previous_ = old;
    }
    setenv("TZ", zone, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (hadZone_) {
        setenv("TZ", previous_.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvanta-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::WriteFile(const std::string& name, const std::string& content) const {
    const std::string full = path_ + "/" + name;
    std::FILE* f = std::fopen(full.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot write " + full);
    const bool written = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    if (std::fclose(f) != 0 || !written) throw std::runtime_error("cannot write " + full);
    return full;
}

std::int32_t TimeOfFields(int year, int month, int day, int hour, int minute, int second) {
    LocalFields f;
    f.year = year;
    f.month = month;
    f.day = day;
    f.hour = hour;
    f.minute = minute;
    f.second = second;
    return LocalStandardTime(f);
}

}  // namespace testenv
}  // namespace orvanta
