// Helpers for the tool tests: running a built program and reading its output,
// temporary directories, and a guard for the time zone.
#pragma once

#include "tests/common/test_env.h"

#include "cardimage/card_image.h"

#include <cstdint>
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

// Writes `contents` as a sparse image in which the records at the given
// logical indices carry a square wave of that amplitude on channel B (channel
// A at 509): trunc(A * 2.531745 + 0.5) V as the trend reads it.
bool WriteCardWithSquareWaves(const std::string& path, const cardimage::CardContents& contents,
                              const std::map<std::uint32_t, int>& amplitudeOfRecord, std::string* error);



}  // namespace tooltest
}  // namespace orvanta
