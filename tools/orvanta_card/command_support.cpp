#include "tools/orvanta_card/command_support.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "card/local_time.h"

namespace orvanta {
namespace cardtool {

bool ParseTime(const std::string& text, std::int32_t* time) {
    LocalFields fields;
    if (!ParseLocalFields(text, &fields)) return false;
    *time = LocalStandardTime(fields);
    return *time != -1;
}

bool ParseTimeRange(const CLI::App& app, const std::string& from, const std::string& to, TimeRange* range,
                    std::string* error) {
    for (const bool isFrom : {true, false}) {
        const char* option = isFrom ? "--from" : "--to";
        if (app.count(option) == 0) continue;
        if (!ParseTime(isFrom ? from : to, isFrom ? &range->from : &range->to)) {
            *error = std::string(option) + " needs a local time \"YYYY-MM-DD HH:MM:SS\" (1970 to 2038)";
            return false;
        }
        (isFrom ? range->hasFrom : range->hasTo) = true;
    }
    if (range->hasFrom && range->hasTo && range->from > range->to) {
        *error = "--from lies after --to";
        return false;
    }
    return true;
}

bool WriteOutput(const std::string& target, const std::string& text) {
    if (target.empty() || target == "-") {
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    }
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

namespace {

bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) == 1;
#endif
}

}  // namespace

ProgressLine::ProgressLine(const char* command, const char* unit, bool onlyOnTerminal)
    : command_(command), unit_(unit), silent_(onlyOnTerminal && !StandardErrorIsTerminal()) {}

void ProgressLine::Update(std::uint64_t done, std::uint64_t total) {
    if (silent_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    shown_ = true;
    std::fprintf(stderr, "\rorvanta-card %s: %llu of %llu %s", command_, static_cast<unsigned long long>(done),
                 static_cast<unsigned long long>(total), unit_);
    std::fflush(stderr);
}

ProgressLine::~ProgressLine() {
    if (shown_) std::fputc('\n', stderr);
}

}  // namespace cardtool
}  // namespace orvanta
