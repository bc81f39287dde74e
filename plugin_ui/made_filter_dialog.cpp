// The made-filter dialog: IDD_MADE_FILTER and SmallDlgProc. It shows the
// preview and only the sliders and maps the filter's author chose, with
// their labels; the formulas are fixed, so there is no timer and no marker.
#include "plugin_ui/dialogs.h"
#include "plugin_ui/slider.h"
#include "plugin_ui/ui.h"

namespace {

void ShowSliderRow(HWND dialog, int j, bool show) {
    const int how = show ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(dialog, IDC_SLIDER + j), how);
    ShowWindow(GetDlgItem(dialog, IDC_VALUE_LABEL + j), how);
}

BOOL Small_OnInitDialog(HWND dialog) {
    gState->dialogWindow = dialog;
    CompileChannelFormulas();  // errors are not shown in this dialog
    SetSlotText(dialog, gDefinition->title, int(sizeof gDefinition->title));
    SetSliderRanges(dialog);
    if (TakePreviewSample(dialog) != 0) {
        EndDialog(dialog, IDCANCEL);
        return FALSE;
    }
    ShowSliderValues(dialog);
    for (int j = 0; j < kSliderCount; ++j) ShowSliderRow(dialog, j, false);
    for (int k = 0; k < 4; ++k) {
        HWND label = GetDlgItem(dialog, IDC_MAP_LABEL + k);
        if (gDefinition->mapShown[k]) {
            SetSlotText(label, gDefinition->mapLabel[k], int(sizeof gDefinition->mapLabel[k]));
            ShowSliderRow(dialog, 2 * k, true);
            ShowSliderRow(dialog, 2 * k + 1, true);
        } else {
            ShowWindow(label, SW_HIDE);
        }
    }
    for (int j = 0; j < kSliderCount; ++j) {
        HWND label = GetDlgItem(dialog, IDC_SLIDER_LABEL + j);
        if (gDefinition->sliderShown[j]) {
            SetSlotText(label, gDefinition->sliderLabel[j],
                        int(sizeof gDefinition->sliderLabel[j]));
            ShowSliderRow(dialog, j, true);
        } else {
            ShowWindow(label, SW_HIDE);
        }
    }
    CenterOnParent(dialog);
    return FALSE;
}

}  // namespace

extern "C" INT_PTR CALLBACK SmallDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == SliderNotifyMessage())
        return HandleSliderNotification(dialog, wParam, lParam);
    switch (message) {
    case WM_INITDIALOG: return Small_OnInitDialog(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_PAINT: PaintDialogWithPreview(dialog); return FALSE;
    case WM_DESTROY:
        gState->dialogWindow = nullptr;
        ForgetPreview();
        return FALSE;
    default: return FALSE;
    }
}

bool RunMadeFilterDialog() {
    if (gDefinition->hasDialog == 0) return true;
    HINSTANCE module = reinterpret_cast<HINSTANCE>(gModule);
    if (!RegisterSliderClass(module, nullptr)) return false;
    INT_PTR result =
        DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_MADE_FILTER), HostWindow(), SmallDlgProc, 0);
    UnregisterSliderClass(module);
    return result == IDOK;
}
