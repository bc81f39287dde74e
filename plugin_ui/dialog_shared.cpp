// The operations the editor and the made-filter dialog share: formulas and
// slider values between the definition and the controls, error markers,
// slider notifications and centring.
#include <cstring>
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
        SliderSetRange(GetDlgItem(dialog, IDC_SLIDER + i), 0, 255);
}

void SetSlotText(HWND window, const char* slot, int slotSize) {
    char text[kFormulaCapacity + 1];  // the largest slot
    CopySlotText(text, slot, size_t(slotSize) < sizeof text ? size_t(slotSize) : sizeof text - 1);
    SetWindowTextA(window, text);
}

void ShowFormulas(HWND dialog) {
    for (int k = 0; k < kChannelCount; ++k)
        SetSlotText(GetDlgItem(dialog, IDC_FORMULA + k), gDefinition->formula[k], kFormulaCapacity);
    HWND red = GetDlgItem(dialog, IDC_FORMULA);
    SendMessageA(red, EM_SETSEL, 0, -1);
    SetFocus(red);
}

void ReadFormulas(HWND dialog) {
    for (int k = 0; k < kChannelCount; ++k) {
        char* slot = gDefinition->formula[k];
        // At most 1023 characters; a longer text is cut.
        if (!GetDlgItemTextA(dialog, IDC_FORMULA + k, slot, kFormulaCapacity)) slot[0] = 0;
        slot[kFormulaCapacity - 1] = 0;
    }
}

void ShowSliderValues(HWND dialog) {
    for (int i = 0; i < kSliderCount; ++i) {
        SliderSetValue(GetDlgItem(dialog, IDC_SLIDER + i), gDefinition->sliderValue[i], true);
        SetDlgItemInt(dialog, IDC_VALUE_LABEL + i, UINT(gDefinition->sliderValue[i]), FALSE);
    }
}

void ReadSliderValues(HWND dialog) {
    for (int i = 0; i < kSliderCount; ++i) {
        BOOL ok = FALSE;
        UINT v = GetDlgItemInt(dialog, IDC_VALUE_LABEL + i, &ok, FALSE);
        gDefinition->sliderValue[i] = ok ? int32_t(v) : 0;
    }
}

void RefreshErrorMarkers(HWND dialog) {
    for (int k = 0; k < kChannelCount; ++k) {
        bool show = gState->compileFailed[k] && (k < 3 || AlphaRowShown());
        ShowWindow(GetDlgItem(dialog, IDC_MARKER + k), show ? SW_SHOW : SW_HIDE);
    }
    DrawPreview(dialog);
}

bool HandleSliderNotification(HWND dialog, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (id < IDC_SLIDER || id >= IDC_SLIDER + kSliderCount) return false;
    const int code = HIWORD(lParam);
    const UINT value = LOWORD(lParam);
    const int label = id - IDC_SLIDER + IDC_VALUE_LABEL;
    SetDlgItemInt(dialog, label, value, FALSE);
    UpdateWindow(GetDlgItem(dialog, label));
    if (code == SliderHeld || code == SliderReleased) {
        ReadSliderValues(dialog);
        DrawPreview(dialog);
    }
    return true;
}

void CenterOnParent(HWND window) {
    HWND reference = GetParent(window);
    if (!reference) reference = GetDesktopWindow();
    RECT ref, own;
    GetWindowRect(reference, &ref);
    GetWindowRect(window, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    auto place = [](int refStart, int refExtent, int extent, int screen) {
        int spare = refExtent - extent;
        int c = refStart + (spare > 0 ? spare : 0) / 2;
        if (c + extent > screen) c = screen - extent > 0 ? screen - extent : 0;
        return c;
    };
    POINT pt = {place(ref.left, ref.right - ref.left, width, screenWidth),
                place(ref.top, ref.bottom - ref.top, height, screenHeight)};
    if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && GetParent(window))
        ScreenToClient(GetParent(window), &pt);
    SetWindowPos(window, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
