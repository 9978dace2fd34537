// The application's own resources (the window icon), compiled in from
// resources/orvanta.qrc.
#pragma once

#include <QIcon>

namespace orvanta {

// The window icon at 16, 32 and 64 pixels. Registers the resources first, as
// they live in a static library.
QIcon LoadAppIcon();

}  // namespace orvanta
