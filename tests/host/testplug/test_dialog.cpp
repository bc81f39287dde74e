// Dialog 100 of the test plug-in. At initialisation it takes a sample of the
// filter area reduced to fit its 64 x 48 preview (factor, areas, rates and
// padding modes as the editor sets them), inverts the sample into the output
// buffer, and draws it through the host's display-pixels call on every
// paint, with the transparency plane as its mask when there is one. The test drives it from outside and reads what it drew off the screen.
#include "tests/host/testplug/test_dialog.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr int kPreviewWidth = 64;
constexpr int kPreviewHeight = 48;
constexpr int kPreviewX = 10;
constexpr int kPreviewY = 10;
constexpr int kDialogId = 100;
constexpr int32_t kRateOne = 1 << 16;
constexpr int16_t kPadRepeatEdge = -1;
constexpr int16_t kPadRefuse = -3;

struct DialogContext {
    HostRecord* record;
    bool badRate;
    HostArea sample;
};

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

int Ceiling(int a, int b) { return (a + b - 1) / b; }

bool TakeSample(DialogContext& c) {
    HostRecord* r = c.record;
    int w = r->filterArea.right - r->filterArea.left;
    int h = r->filterArea.bottom - r->filterArea.top;
    int f = std::max(Ceiling(w, kPreviewWidth), Ceiling(h, kPreviewHeight));
    if (f < 1) f = 1;
    c.sample = HostArea{int16_t(r->filterArea.top / f), int16_t(r->filterArea.left / f),
                        int16_t(r->filterArea.bottom / f), int16_t(r->filterArea.right / f)};
    r->inArea = r->outArea = c.sample;
    r->inputRate = c.badRate ? 0 : f * kRateOne;
    r->inputPadding = r->outputPadding = kPadRepeatEdge;
    int16_t advanced = r->advanceState();
    r->inputPadding = r->outputPadding = kPadRefuse;
    r->inputRate = kRateOne;
    Log("dialog advance=%d factor=%d sample=%d,%d,%d,%d", advanced, f, c.sample.top, c.sample.left,
        c.sample.bottom, c.sample.right);
    if (advanced != 0 || !r->inData || !r->outData) return false;
    int planes = r->outHiPlane - r->outLoPlane + 1;
    int bytes = (c.sample.right - c.sample.left) * planes;
    for (int y = 0; y < c.sample.bottom - c.sample.top; ++y)
        for (int i = 0; i < bytes; ++i)
            r->outData[y * r->outRowBytes + i] = uint8_t(255 - r->inData[y * r->inRowBytes + i]);
    return true;
}

void Paint(HWND dialog, const DialogContext& c) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    HostRecord* r = c.record;
    HostPixelMap map{};
    map.version = 1;
    map.top = c.sample.top;
    map.left = c.sample.left;
    map.bottom = c.sample.bottom;
    map.right = c.sample.right;
    map.imageMode = r->imageMode;
    map.rowBytes = r->outRowBytes;
    map.colBytes = r->outHiPlane - r->outLoPlane + 1;
    map.planeBytes = 1;
    map.baseAddr = r->outData;
    // With a transparency plane the preview shows it, as the editor does:
    // the mask is the output's own last plane.
    HostMaskDescription alpha{nullptr, r->outData + (map.colBytes - 1), r->outRowBytes,
                              map.colBytes, 0};
    if (map.colBytes == 4 && r->inLayerPlanes && r->inTransparentIndex) map.masks = &alpha;
    HostRect32 source{map.top, map.left, map.bottom, map.right};
    int16_t shown = r->displayPixels(&map, &source, kPreviewY, kPreviewX, dc);
    EndPaint(dialog, &ps);
    POINT at{kPreviewX, kPreviewY};
    ClientToScreen(dialog, &at);
    Log("dialog paint display=%d at %ld,%ld", shown, at.x, at.y);
}

INT_PTR CALLBACK TestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* c = reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        c = reinterpret_cast<DialogContext*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* platform = c->record->platformData;
        HWND owner = GetWindow(dialog, GW_OWNER);
        Log("dialog owner=%s", platform && owner == platform->mainWindow ? "host" : "other");
        if (!TakeSample(*c)) EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    case WM_PAINT: Paint(dialog, *c); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            Log("dialog ended with %s", LOWORD(wParam) == IDOK ? "OK" : "Cancel");
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

bool RunTestDialog(HostRecord* r, bool badRate) {
    DialogContext context{r, badRate, {}};
    HWND owner = r->platformData ? static_cast<HWND>(r->platformData->mainWindow) : nullptr;
    INT_PTR ended = DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(kDialogId), owner, TestDlgProc,
                                    reinterpret_cast<LPARAM>(&context));
    return ended == IDOK;
}
