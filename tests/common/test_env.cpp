#include "tests/common/test_env.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "card/local_time.h"

#ifdef _WIN32
#include <io.h>
#endif

namespace orvanta {
namespace testenv {
namespace {

#ifdef _WIN32
// The C library on Windows reads TZ in its own form ("CST-8"), not as a zone
// name; the zones the tests use are given in that form there. Its summer time
// follows the United States' rules, so Windows runs leave out the tests that
// depend on the exact European switch dates.
std::string ZoneForCLibrary(const char* zone) {
    const std::string name = zone;
    if (name == "Asia/Shanghai") return "CST-8";
    if (name == "UTC") return "UTC0";
    if (name == "Europe/Berlin") return "CET-1CEST";
    if (name == "Asia/Kathmandu") return "NPT-5:45";
    return name;
}
void SetZone(const char* zone) {
    _putenv_s("TZ", ZoneForCLibrary(zone).c_str());
    _tzset();
}
void RestoreZone(bool had, const std::string& previous) {
    _putenv_s("TZ", had ? previous.c_str() : "");
    _tzset();
}
std::string MakeTempDirectory(const std::string& pattern) {
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (_mktemp_s(buffer.data(), buffer.size()) != 0 || !std::filesystem::create_directory(buffer.data())) {
        throw std::runtime_error("cannot create a temporary directory for " + pattern);
    }
    return buffer.data();
}
#else
void SetZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}
void RestoreZone(bool had, const std::string& previous) {
    if (had) {
        setenv("TZ", previous.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}
std::string MakeTempDirectory(const std::string& pattern) {
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
    return buffer.data();
}
#endif

}  // namespace

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
        hadZone_ = true;
        previous_ = old;
    }
    SetZone(zone);
}

ScopedTimeZone::~ScopedTimeZone() {
    RestoreZone(hadZone_, previous_);
}

TempDir::TempDir() {
    path_ = MakeTemporaryDirectory("orvanta-test-");
}

std::string MakeTemporaryDirectory(const std::string& prefix) {
    return MakeTempDirectory((std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string());
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

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    char block[65536];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) bytes.append(block, n);
    std::fclose(f);
    return bytes;
}

bool PathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}  // namespace testenv
}  // namespace orvanta
