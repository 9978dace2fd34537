// Helpers for the platform tests: a temporary directory removed at the end of
// the test, and small file-writing shortcuts.
#pragma once

#include "tests/common/test_env.h"

#include <string>

namespace orvanta {
namespace platformtest {

using testenv::ScopedTimeZone;
using testenv::TempDir;



// Creates the directories of `path` and writes `content` into it.
void WriteFile(const std::string& path, const std::string& content);
void MakeDirectories(const std::string& path);

}  // namespace platformtest
}  // namespace orvanta
