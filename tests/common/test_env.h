// Test surroundings shared by every test program: a time zone for the length
// of a test, a temporary directory that cleans up after itself, and readable
// local times.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta {
namespace testenv {

// Sets TZ for the lifetime of the guard and restores the previous value.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool hadZone_ = false;
    std::string previous_;
};

// Creates a new empty directory under the system's temporary folder whose
// name starts with `prefix`; returns its path. Throws when it cannot.
std::string MakeTemporaryDirectory(const std::string& prefix);

// An empty temporary directory, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Writes a file with exactly `content` into the directory; returns its path.
    std::string WriteFile(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

// A local time under the current TZ as a time value (mktime, daylight-saving
// flag 0), for building test times from readable dates.
std::int32_t TimeOfFields(int year, int month, int day, int hour, int minute, int second);

// The bytes of a file ("" when it cannot be read), and whether a path exists.
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);

}  // namespace testenv
}  // namespace orvanta
