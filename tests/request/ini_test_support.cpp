#include "tests/request/ini_test_support.h"

#include <fstream>

namespace orvanta {
namespace requesttest {

TempFile::TempFile() : path_(directory_ / "orvanta-vemlar.ini") {}

void TempFile::Write(const std::string& bytes) const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace requesttest
}  // namespace orvanta
