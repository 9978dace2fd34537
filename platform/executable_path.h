// The full path of the running program, as the platform reports it.
#pragma once

#include <string>

namespace orvanta {

// The running executable's full path, however long (the buffer grows until
// the path fits); "" when the platform does not tell.
std::string ExecutablePath();

}  // namespace orvanta
