#include "tests/request/ini_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace orvanta {
namespace requesttest {

TempFile::TempFile() {
    char pattern[] = "/tmp/orvanta-request-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    directory_ = pattern;
    path_ = directory_ + "/orvanta-vemlar.ini";
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
    ::rmdir(directory_.c_str());
}

void TempFile::Write(const std::string& bytes) const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace requesttest
}  // namespace orvanta
