// Why no card was found: a removable drive whose raw volume the system
// refuses to open for lack of rights (a standard user on Windows).
#pragma once

#include <string>

namespace orvanta {

// The first removable drive from D: to Z: whose raw volume ("\\.\X:") cannot
// be opened because access is denied, or 0 when there is none.
char DriveDenyingAccess();

// The system's device name of drive `letter` (such as
// "\Device\HarddiskVolume5"), empty when it has none.
std::string SystemDeviceNameOf(char letter);

}  // namespace orvanta
