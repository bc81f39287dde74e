// The preview of both dialogs: one reduced sample of the filter area taken
// through the host's advance-state call when the dialog opens; the compiled
// formulas run over it when formulas, sliders or the sample change, and the
// result goes to the host's display-pixels call, centred in the placeholder
// IDC_PREVIEW and framed black.
//
// The output rows of the last finished run are kept. A repaint shows them
// without running anything, and a run that a keystroke abandons puts them
// back into the host's output buffer, so the screen never shows a partial or
// empty preview; the abandoned run is tried again on the next paint.
#include <cstring>
#include "plugin/core/area.h"
#include "plugin_ui/ui.h"

namespace {

// The last finished preview of the current sample, one dialog at a time.
struct KeptPreview {
    uint8_t* rows;  // the output rows of a finished run, rowBytes apart; null before one
    int rowBytes, height;
    bool current;  // of the formulas and slider values in force
};
KeptPreview gKept;

RECT PlaceholderScreenRect(HWND dialog) {
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, IDC_PREVIEW), &r);
    return r;
}

int OutputPlanes(const HostRecord* h) { return h->outHiPlane - h->outLoPlane + 1; }

// Copies the output rows of a finished run into gKept.
void KeepOutput(const HostRecord* h, int rowBytes, int height) {
    if (!gKept.rows) {
        gKept.rows = static_cast<uint8_t*>(AllocBlock(uint32_t(rowBytes) * uint32_t(height)));
        gKept.rowBytes = rowBytes;
        gKept.height = height;
    }
    if (!gKept.rows || gKept.rowBytes != rowBytes || gKept.height != height) return;
    for (int y = 0; y < height; ++y)
        std::memcpy(gKept.rows + size_t(y) * rowBytes, h->outData + size_t(y) * h->outRowBytes,
                    size_t(rowBytes));
}

// Puts the kept rows back over what an abandoned run left in the output.
void RestoreOutput(const HostRecord* h) {
    for (int y = 0; y < gKept.height; ++y)
        std::memcpy(h->outData + size_t(y) * h->outRowBytes,
                    gKept.rows + size_t(y) * gKept.rowBytes, size_t(gKept.rowBytes));
}

void DisplayOutput(HostRecord* h, HDC dc, int top, int left) {
    const int planes = OutputPlanes(h);
    HostMaskDescription mask = {};
    HostPixelMap map = {};
    map.version = 1;
    map.top = h->outArea.top;
    map.left = h->outArea.left;
    map.bottom = h->outArea.bottom;
    map.right = h->outArea.right;
    map.imageMode = h->imageMode;
    map.rowBytes = h->outRowBytes;
    map.colBytes = planes;
    map.planeBytes = 1;
    map.baseAddr = h->outData;
    // A floating selection shows through its mask (when the host has one); a
    // layer shows through its transparency plane, which is in the output
    // only when four planes were requested.
    if (h->isFloating && h->maskData) {
        mask = {nullptr, h->maskData, h->maskRowBytes, 1, 0};
        map.masks = &mask;
    } else if (h->inLayerPlanes && h->inTransparentIndex && planes == 4) {
        mask = {nullptr, h->outData + (planes - 1), h->outRowBytes, planes, 0};
        map.masks = &mask;
    }
    const HostRect32 source = {map.top, map.left, map.bottom, map.right};
    h->displayPixels(&map, &source, top, left, dc);
}

// Draws the frame and the preview; runs the formulas first when `run` is
// set or the kept preview is out of date.
void ShowPreview(HWND dialog, bool run) {
    HostRecord* h = gHost;
    const RECT r = PlaceholderScreenRect(dialog);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    const int outWidth = AreaWidth(h->outArea), outHeight = AreaHeight(h->outArea);
    const int left = (r.left + r.right - outWidth) / 2 - origin.x;
    const int top = (r.top + r.bottom - outHeight) / 2 - origin.y;

    HDC dc = GetDC(dialog);
    if (!dc) return;
    RECT frame = {left - 1, top - 1, left + outWidth + 1, top + outHeight + 1};
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    // An empty sample (an empty filter area) has nothing to show.
    if (outWidth > 0 && outHeight > 0) {
        // While an edit waits for the editor's timer, a repaint shows what
        // there is: the recompilation draws anew.
        if (!gKept.current && !(gKept.rows && gState->formulasEdited)) run = true;
        if (run) {
            PrepareRun();
            if (RunFilter(RunMode::Preview)) {
                KeepOutput(h, outWidth * OutputPlanes(h), outHeight);
                gKept.current = true;
            } else {
                if (gKept.rows) RestoreOutput(h);
                gKept.current = false;
                InvalidateRect(dialog, &frame, FALSE);  // try again after the keystroke
            }
        }
        if ((gKept.current || gKept.rows) && h->displayPixels) DisplayOutput(h, dc, top, left);
    }
    ReleaseDC(dialog, dc);
}

}  // namespace

int TakePreviewSample(HWND dialog) {
    ForgetPreview();  // a new sample
    HostRecord* h = gHost;
    RECT r = PlaceholderScreenRect(dialog);
    InflateRect(&r, -1, -1);
    const int w = r.right - r.left, h2 = r.bottom - r.top;
    const int width = AreaWidth(h->filterArea), height = AreaHeight(h->filterArea);
    int f = 1;
    if (w > 0 && h2 > 0) {
        const int fx = (width + w - 1) / w, fy = (height + h2 - 1) / h2;
        f = fx > fy ? fx : fy;
    }
    // An empty filter area would give 0, and the areas are divided by f.
    if (f < 1) f = 1;

    const bool floating = h->isFloating != 0;
    CopyArea(h->inArea, h->filterArea);
    ScaleArea(h->inArea, 1, f);
    CopyArea(h->outArea, h->inArea);
    if (floating && h->haveMask) CopyArea(h->maskArea, h->inArea);
    h->inputRate = ToFixed16(f);
    if (floating) h->maskRate = ToFixed16(f);
    h->inputPadding = h->outputPadding = -1;
    if (floating) h->maskPadding = -1;

    const int16_t answer = h->advanceState ? h->advanceState() : int16_t(1);

    h->inputPadding = h->outputPadding = -3;
    if (floating) h->maskPadding = -3;
    h->inputRate = ToFixed16(1);
    if (floating) h->maskRate = ToFixed16(1);
    if (answer != 0) {
        ShowErrorBox(IDS_SAMPLE_FAILED);
        return 1;
    }
    return 0;
}

void DrawPreview(HWND dialog) { ShowPreview(dialog, true); }

void PaintDialogWithPreview(HWND dialog) {
    // The dialog's own painting (and the erasing of its background) comes
    // first, so the preview drawn next stays visible.
    PAINTSTRUCT ps;
    BeginPaint(dialog, &ps);
    EndPaint(dialog, &ps);
    ShowPreview(dialog, false);
}

void ForgetPreview() {
    FreeBlock(gKept.rows);
    gKept = {};
}
