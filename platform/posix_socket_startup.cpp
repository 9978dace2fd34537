// Linux needs no socket layer start-up: the step succeeds.
#include "platform/socket_startup.h"

namespace orvanta {

bool StartSocketLayer() { return true; }

}  // namespace orvanta
