// orvanta-client.exe: the Windows window.
#include <windows.h>

#include "winui/client_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return orvanta::CClientApp().Run(); }
