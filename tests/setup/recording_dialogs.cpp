#include "tests/setup/recording_dialogs.h"

#include "setup/dlgutil.h"
#include "setup/engine.h"
#include "setup/state.h"

RecordedDialogs gRecorded;

INT_PTR ShowAlertStr(const char* text) {
    gRecorded.alerts.push_back(text);
    return 1;
}

void MyYield() {
    ++gRecorded.yields;
    HWND graph = ghStatus ? GetDlgItem(ghStatus, kCtlProgress) : nullptr;
    gRecorded.progress.push_back(graph ? static_cast<int>(SendMessageA(graph, WM_USER + 2, 0, 0))
                                       : -1);
    if (gRecorded.yields == gRecorded.cancelAtYield) gfAbort = 1;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
