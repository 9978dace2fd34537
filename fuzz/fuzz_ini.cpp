// The INI reader on arbitrary file contents, section and key names, and read
// limits: the value is found by the same rules whether read from text or from
// a file, is cut to the limit minus one, is always terminated, and nothing is
// written past the limit.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "fuzz/fuzz_support.h"
#include "request/ini_reader.h"

using namespace orvanta;

namespace {

std::string TempFilePath() {
    char path[] = "/tmp/orvanta-fuzz-ini-XXXXXX";
    const int fd = mkstemp(path);
    FUZZ_REQUIRE(fd >= 0);
    close(fd);
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = TempFilePath();
    fuzz::InputReader in(data, size);
    // The read limits of the configuration fields and a few odd ones.
    static const std::size_t kLimits[] = {0, 1, 2, 36, 63, 127, 200, 4096};
    const std::size_t limit = kLimits[in.Byte() % 8];
    const std::string section = in.Bytes(in.Byte() % 16);
    const std::string key = in.Bytes(in.Byte() % 16);
    const std::string defaultValue = in.Bytes(in.Byte() % 300);
    const std::string contents = in.Rest();
    // Names and the default are C strings.
    const std::string sectionName = section.substr(0, section.find('\0'));
    const std::string keyName = key.substr(0, key.find('\0'));
    const std::string defaultText = defaultValue.substr(0, defaultValue.find('\0'));

    std::string found;
    const bool hasValue = FindIniValue(contents, sectionName.c_str(), keyName.c_str(), &found);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_REQUIRE(file != nullptr);
    if (!contents.empty()) FUZZ_REQUIRE(std::fwrite(contents.data(), 1, contents.size(), file) == contents.size());
    std::fclose(file);

    // The buffer has guard bytes behind the limit that must stay untouched.
    static char buffer[4096 + 64];
    std::memset(buffer, 0x5A, sizeof buffer);
    const std::size_t copied =
        ReadIniString(sectionName.c_str(), keyName.c_str(), defaultText.c_str(), buffer, limit, path);
    for (std::size_t i = limit; i < sizeof buffer; ++i) FUZZ_REQUIRE(buffer[i] == 0x5A);
    if (limit == 0) {
        FUZZ_REQUIRE(copied == 0);
        return 0;
    }
    FUZZ_REQUIRE(copied <= limit - 1);
    FUZZ_REQUIRE(buffer[copied] == '\0');
    // The value (which may hold NUL bytes from the file), or the default, cut
    // to the limit minus one.
    const std::string whole = hasValue ? found : defaultText;
    const std::string expected = whole.substr(0, limit - 1);
    FUZZ_REQUIRE(copied == expected.size());
    FUZZ_REQUIRE(std::memcmp(buffer, expected.data(), copied) == 0);
    return 0;
}
