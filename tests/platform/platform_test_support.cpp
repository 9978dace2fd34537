#include "tests/platform/platform_test_support.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace orvanta {
namespace platformtest {

void MakeDirectories(const std::string& path) { std::filesystem::create_directories(path); }

void WriteFile(const std::string& path, const std::string& content) {
    MakeDirectories(std::filesystem::path(path).parent_path().string());
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace platformtest
}  // namespace orvanta
