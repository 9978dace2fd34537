// The executable's path on Linux: the target of /proc/self/exe.
#include "platform/executable_path.h"

#include <unistd.h>

#include <vector>

namespace orvanta {

std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return std::string();
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
        if (buffer.size() > (1u << 24)) return std::string();
        buffer.resize(buffer.size() * 2);  // the path may have been cut: try again with more room
    }
}

}  // namespace orvanta
