// The two functions of atl.dll that host ActiveX controls in plain Win32
// windows (mingw-w64 ships the import library libatl.a without a header):
// AtlAxWinInit registers the "AtlAxWin" window class, whose window creates
// the control named by its text; AtlAxGetControl gives that control.
#pragma once

#include <windows.h>
#include <unknwn.h>

extern "C" {
__declspec(dllimport) BOOL WINAPI AtlAxWinInit();
__declspec(dllimport) HRESULT WINAPI AtlAxGetControl(HWND container, IUnknown** control);
}
