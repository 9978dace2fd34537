// Helpers for the platform tests: a temporary directory removed at the end of
// the test, and small file-writing shortcuts.
#pragma once

#include <string>

namespace orvanta {
namespace platformtest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Sets TZ for the life of the guard, then restores the previous value.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool hadZone_;
    std::string previous_;
};

// Creates the directories of `path` and writes `content` into it.
void WriteFile(const std::string& path, const std::string& content);
void MakeDirectories(const std::string& path);

}  // namespace platformtest
}  // namespace orvanta
