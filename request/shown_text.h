// Text from outside (a server's Location, error texts that quote what a
// server sent) made safe to print: control characters would reach the
// terminal as they are (ESC starts escape sequences, BEL rings), so each is
// shown as \xNN instead, the way a control character in a configuration
// value is named rather than printed.
#pragma once

#include <string>

namespace orvanta {

// `text` with every byte below 0x20 and 0x7F written as "\x1B" and so on; all
// else, UTF-8 included, as it is. Applying it twice changes nothing more.
std::string ShownText(const std::string& text);

}  // namespace orvanta
