#include "tests/platform/platform_test_support.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace orvanta {
namespace platformtest {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvanta-platform-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    const char* old = std::getenv("TZ");
    hadZone_ = old != nullptr;
    if (old) previous_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (hadZone_) {
        ::setenv("TZ", previous_.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

void MakeDirectories(const std::string& path) { std::filesystem::create_directories(path); }

void WriteFile(const std::string& path, const std::string& content) {
    MakeDirectories(std::filesystem::path(path).parent_path().string());
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace platformtest
}  // namespace orvanta
