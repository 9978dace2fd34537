// Why no card was found: a removable drive whose raw volume the system
// refuses to open for lack of rights (a standard user on Windows).
#pragma once

namespace orvanta {

// The first removable drive from D: to Z: whose raw volume ("\\.\X:") cannot
// be opened because access is denied, or 0 when there is none.
char DriveDenyingAccess();

}  // namespace orvanta
