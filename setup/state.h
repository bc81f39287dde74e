// The installer's module-wide state: one instance each, shared by the
// program's start-up, its dialogs and the installation engine.
#pragma once
#include <windows.h>

#include "setup/filetable.h"

extern HINSTANCE ghInst;  // the program's module; every resource is loaded from it
extern int gfScan;        // 1: the plug-in dialog searches before it is shown (/s clears it)
extern int gfNetworkWin;  // /n: system files go to the Windows directory
extern int gfForceMSVC;   // /m: an existing system file is deleted before it is copied
extern HWND ghStatus;     // the modeless Installing dialog while it exists, else null
extern int gfAbort;       // set by Cancel or by closing the main window; the yield hook reports it
