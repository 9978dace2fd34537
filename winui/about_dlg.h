// The about box, dialog template 100; its OK button and Escape close it.
#pragma once

#include <windows.h>

namespace orvanta {

void RunAboutBox(HWND owner);

}  // namespace orvanta
