#include "ui/resources.h"

// Q_INIT_RESOURCE must be used outside of any namespace.
static void InitOrvantaResources() { Q_INIT_RESOURCE(orvanta); }

namespace orvanta {

QIcon LoadAppIcon() {
    static const bool registered = (InitOrvantaResources(), true);
    (void)registered;
    QIcon icon;
    for (int size : {16, 32, 64}) {
        icon.addFile(QStringLiteral(":/orvanta/icon-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace orvanta
