// setup.exe: installs the Obsidia filters into the Lumora host's plug-in
// directory. Switches: /s (do not search for the directory), /n (system files
// into the Windows directory), /m (replace the runtime library even if newer).
#include <windows.h>

#include "setup/dlgutil.h"
#include "setup/setup.h"
#include "setup/state.h"
#include "setup/switches.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    SetupSwitches switches = {gfScan, gfNetworkWin, gfForceMSVC};
    ScanSwitches(commandLine, &switches);
    gfScan = switches.scan;
    gfNetworkWin = switches.networkWin;
    gfForceMSVC = switches.forceMSVC;

    if (!previous && !InitApplication(instance)) return kSetupFailed;
    if (!InitInstance(instance, show)) return kSetupFailed;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (ModelessDlgMessage(ghStatus, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
