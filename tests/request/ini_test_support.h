// A temporary INI file for the request tests: written with exact bytes,
// rewritten at will, removed at the end of the test.
#pragma once

#include <string>

#include "tests/common/test_env.h"

namespace orvanta {
namespace requesttest {

class TempFile {
public:
    TempFile();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return path_; }
    void Write(const std::string& bytes) const;

private:
    testenv::TempDir directory_;
    std::string path_;
};

}  // namespace requesttest
}  // namespace orvanta
