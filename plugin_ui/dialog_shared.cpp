// The operations the editor and the made-filter dialog share: formulas and
// slider values between the definition and the controls, error markers,
// slider notifications and centring.
#include <cstring>
#include "plugin_ui/dialog_ids.h"
#include "plugin_ui/slider.h"
#include "plugin_ui/ui.h"

HWND HostWindow() {
    if (gHost && gHost->platformData) return static_cast<HWND>(gHost->platformData->mainWindow);
    return nullptr;
}

bool AlphaRowShown() {
    // Prepare asked for the fourth plane: the pass runs the alpha formula.
    return gHost && gHost->planes >= 4 && gHost->inHiPlane - gHost->inLoPlane >= 3;
}

void SetSliderRanges(HWND dialog) {
    for (int i = 0; i < kSliderCount; ++i)
        SliderSetRange(GetDlgItem(dialog, kIdSlider + i), 0, 255);
}

void SetSlotText(HWND window, const char* slot, int slotSize) {
    char text[kFormulaCapacity + 1];  // the largest slot
    CopySlotText(text, slot, size_t(slotSize) < sizeof text ? size_t(slotSize) : sizeof text - 1);
    SetWindowTextA(window, text);
}

void ShowFormulas(HWND dialog) {
    for (int k = 0; k < kChannelCount; ++k)
        SetSlotText(GetDlgItem(dialog, kIdFormula + k), gDefinition->formula[k], kFormulaCapacity);
    HWND red = GetDlgItem(dialog, kIdFormula);
    SendMessageA(red, EM_SETSEL, 0, -1);
    SetFocus(red);
}

void ReadFormulas(HWND dialog) {
    for (int k = 0; k < kChannelCount; ++k) {
        char* slot = gDefinition->formula[k];
        // At most 1023 characters; a longer text is cut.
        if (!GetDlgItemTextA(dialog, kIdFormula + k, slot, kFormulaCapacity)) slot[0] = 0;
        slot[kFormulaCapacity - 1] = 0;
    }
}

void ShowSliderValues(HWND dialog) {
    for (int i = 0; i < kSliderCount; ++i) {
        SliderSetValue(GetDlgItem(dialog, kIdSlider + i), gDefinition->sliderValue[i], true);
        SetDlgItemInt(dialog, kIdValueLabel + i, UINT(gDefinition->sliderValue[i]), FALSE);
    }
}

void ReadSliderValues(HWND dialog) {
    for (int i = 0; i < kSliderCount; ++i) {
        BOOL ok = FALSE;
        UINT v = GetDlgItemInt(dialog, kIdValueLabel + i, &ok, FALSE);
        gDefinition->sliderValue[i] = ok ? int32_t(v) : 0;
    }
}

void RefreshErrorMarkers(HWND dialog) {
    for (int k = 0; k < kChannelCount; ++k) {
        bool show = gState->compileFailed[k] && (k < 3 || AlphaRowShown());
        ShowWindow(GetDlgItem(dialog, kIdMarker + k), show ? SW_SHOW : SW_HIDE);
    }
    DrawPreview(dialog);
}

bool HandleSliderNotification(HWND dialog, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (id < kIdSlider || id >= kIdSlider + kSliderCount) return false;
    const int code = HIWORD(lParam);
    const UINT value = LOWORD(lParam);
    SetDlgItemInt(dialog, id + 8, value, FALSE);
    UpdateWindow(GetDlgItem(dialog, id + 8));
    if (code == SliderHeld || code == SliderReleased) {
        ReadSliderValues(dialog);
        DrawPreview(dialog);
    }
    return true;
}

void CenterOnParent(HWND window, int flags) {
    HWND reference = GetParent(window);
    if (!reference) reference = GetDesktopWindow();
    RECT ref, own;
    GetWindowRect(reference, &ref);
    GetWindowRect(window, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    auto place = [](int refStart, int refExtent, int extent, int divisor, int screen) {
        int spare = refExtent - extent;
        int c = refStart + (spare > 0 ? spare : 0) / divisor;
        if (c + extent > screen) c = screen - extent > 0 ? screen - extent : 0;
        return c;
    };
    POINT pt = {own.left, own.top};
    if (flags & 1) pt.x = place(ref.left, ref.right - ref.left, width, 2, screenWidth);
    if (flags & 2)
        pt.y = place(ref.top, ref.bottom - ref.top, height, (flags & 0x10) ? 3 : 2, screenHeight);
    if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && GetParent(window))
        ScreenToClient(GetParent(window), &pt);
    SetWindowPos(window, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
