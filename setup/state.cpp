#include "setup/state.h"

HINSTANCE ghInst = nullptr;
int gfScan = 1;
int gfNetworkWin = 0;
int gfForceMSVC = 0;
HWND ghStatus = nullptr;
int gfAbort = 0;
