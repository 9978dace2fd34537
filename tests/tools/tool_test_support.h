// Helpers for the tool tests: running a built program and reading its output,
// temporary directories, and a guard for the time zone.
#pragma once

#include "tests/common/test_env.h"

#include <map>
#include <string>
#include <vector>

namespace orvanta {
namespace tooltest {

using testenv::ScopedTimeZone;
using testenv::TempDir;

struct RunResult {
    int status = -1;      // exit status, or -1 when the program did not exit normally
    std::string output;   // standard output
    std::string errors;   // standard error
};

// The path of a program in ORVANTA_BIN_DIR (or next to the test program).
std::string ProgramPath(const std::string& name);

// Runs `program` with `args` and the extra environment entries ("TZ=...").
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
              const std::vector<std::string>& environment = {});

// The "key: value" lines of a program's output.
std::map<std::string, std::string> KeyValues(const std::string& output);



}  // namespace tooltest
}  // namespace orvanta
