// The executable's path on Windows: GetModuleFileNameA of the process's own
// module. It starts with the classic 260 characters and grows the buffer when
// the path was cut, so long paths work too.
#include "platform/executable_path.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

namespace orvanta {

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return std::string(buffer.data(), n);
        if (buffer.size() > (1u << 16)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace orvanta
