// What the scanning commands of orvanta-card share: local times on the
// command line, a progress line on standard error and the output file.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "card/ring_range.h"
#include "tools/common/command_line.h"

namespace orvanta {
namespace cardtool {

// "YYYY-MM-DD HH:MM:SS" as local standard time; false when it is no such
// time or lies outside the signed 32-bit range.
bool ParseTime(const std::string& text, std::int32_t* time);

// The --from and --to options of a scanning command as a time range (each
// only when given); false with a message naming the option at fault, or
// when --from lies after --to.
bool ParseTimeRange(const CLI::App& app, const std::string& from, const std::string& to, TimeRange* range,
                    std::string* error);

// Writes `text` to the file `target`, or to standard output for "" or "-".
bool WriteOutput(const std::string& target, const std::string& text);

// Progress on standard error once a scan has taken more than a second, at
// most a few times a second ("orvanta-card COMMAND: DONE of TOTAL UNIT"); the
// line is ended when the scan is done. With `onlyOnTerminal`, nothing is
// written unless standard error is a terminal.
class ProgressLine {
public:
    ProgressLine(const char* command, const char* unit, bool onlyOnTerminal = false);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine();

    void Update(std::uint64_t done, std::uint64_t total);

private:
    const char* command_;
    const char* unit_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
    bool silent_ = false;
};

}  // namespace cardtool
}  // namespace orvanta
