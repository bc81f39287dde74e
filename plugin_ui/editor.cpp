// The formula editor: dialog IDD_EDITOR and its procedure TinctorDlgProc. The
// dialog edits the current definition in place; what it has read back stays
// there whether it ends with OK or Cancel.
#include <cstring>
#include "plugin_ui/dialogs.h"
#include "plugin_ui/slider.h"
#include "plugin_ui/ui.h"

namespace {

constexpr UINT_PTR kRecompileTimer = 1;
constexpr UINT kRecompileMs = 250;

HICON gMarkerIcon;
WNDPROC gEditProc;  // the system's procedure behind our formula fields

// The classic multi-line edit ignores Ctrl+A; our formula fields select
// their whole text, as users expect.
LRESULT CALLBACK FormulaFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == 'A' && GetKeyState(VK_CONTROL) < 0 &&
        GetKeyState(VK_MENU) >= 0) {
        SendMessageA(field, EM_SETSEL, 0, -1);
        return 0;
    }
    if (message == WM_CHAR && wParam == 1) return 0;  // the character Ctrl+A makes
    return CallWindowProcA(gEditProc, field, message, wParam, lParam);
}

// Selects channel k's error range in its field and gives the field the focus.
void SelectErrorRange(HWND dialog, int k) {
    HWND field = GetDlgItem(dialog, IDC_FORMULA + k);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, WPARAM(gState->errorStart[k]), LPARAM(gState->errorEnd[k]));
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
}

void Recompile(HWND dialog) {
    ReadFormulas(dialog);
    CompileChannelFormulas();
    RefreshErrorMarkers(dialog);
}

// OK and "Make..." go on only when every shown channel compiles; otherwise
// the first failed one, in the order red, green, blue, alpha, gets its
// error range selected and the focus, and the default beep sounds.
bool AllChannelsCompile(HWND dialog) {
    Recompile(dialog);
    const int channels = AlphaRowShown() ? 4 : 3;
    for (int k = 0; k < channels; ++k) {
        if (gState->compileFailed[k]) {
            SelectErrorRange(dialog, k);
            MessageBeep(0);
            return false;
        }
    }
    return true;
}

void MakeNewFilter(HWND dialog) {
    if (!AllChannelsCompile(dialog)) return;
    auto* copy = static_cast<FilterDefinition*>(AllocBlock(sizeof(FilterDefinition)));
    if (!copy) {
        ShowErrorBox(IDS_NO_MEMORY);
        return;
    }
    std::memcpy(copy, gDefinition, sizeof(FilterDefinition));
    gState->makerCopy = copy;
    if (RunBuildDialog()) MakeFilter();
    FreeBlock(copy);
    gState->makerCopy = nullptr;
}

// ---- message handlers ----

BOOL Editor_OnInitDialog(HWND dialog) {
    gState->dialogWindow = dialog;
    SetSlotText(dialog, gDefinition->title, int(sizeof gDefinition->title));
    SetSliderRanges(dialog);
    if (TakePreviewSample(dialog) != 0) {
        EndDialog(dialog, IDCANCEL);
        return FALSE;
    }
    for (int k = 0; k < kChannelCount; ++k)
        gEditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            GetDlgItem(dialog, IDC_FORMULA + k), GWLP_WNDPROC, LONG_PTR(FormulaFieldProc)));
    ShowFormulas(dialog);
    ShowSliderValues(dialog);
    // Markers stay hidden until the first recompilation.
    CompileChannelFormulas();
    if (!AlphaRowShown()) {
        ShowWindow(GetDlgItem(dialog, IDC_FORMULA + 3), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_MARKER + 3), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_ALPHA_LABEL), SW_HIDE);
    }
    SetTimer(dialog, kRecompileTimer, kRecompileMs, nullptr);
    CenterOnParent(dialog);
    return FALSE;  // the focus stays on the red formula
}

void Editor_OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDOK:
        if (AllChannelsCompile(dialog)) EndDialog(dialog, IDOK);
        break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    case IDC_LOAD: LoadSettings(dialog); break;
    case IDC_SAVE: SaveSettings(dialog); break;
    case IDC_MAKE: MakeNewFilter(dialog); break;
    default:
        if (id >= IDC_FORMULA && id < IDC_FORMULA + kChannelCount && code == EN_CHANGE)
            gState->formulasEdited = 1;
        else if (id >= IDC_MARKER && id < IDC_MARKER + kChannelCount &&
                 gState->compileFailed[id - IDC_MARKER])
            SelectErrorRange(dialog, id - IDC_MARKER);
        break;
    }
}

void Editor_OnTimer(HWND dialog, UINT_PTR timer) {
    if (timer == kRecompileTimer && gState->formulasEdited) Recompile(dialog);
}

void Editor_OnDrawItem(const DRAWITEMSTRUCT* item) {
    if (item->CtlID < UINT(IDC_MARKER) || item->CtlID >= UINT(IDC_MARKER + kChannelCount)) return;
    if (item->itemAction != ODA_DRAWENTIRE) return;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (gMarkerIcon) DrawIcon(item->hDC, 0, 0, gMarkerIcon);
}

void Editor_OnMeasureItem(MEASUREITEMSTRUCT* item) {
    item->itemWidth = 16;
    item->itemHeight = 16;
}

void Editor_OnDestroy(HWND dialog) {
    gState->dialogWindow = nullptr;
    KillTimer(dialog, kRecompileTimer);
    ForgetPreview();
}

}  // namespace

extern "C" INT_PTR CALLBACK TinctorDlgProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message != 0 && message == SliderNotifyMessage())
        return HandleSliderNotification(dialog, wParam, lParam);
    switch (message) {
    case WM_INITDIALOG: return Editor_OnInitDialog(dialog);
    case WM_COMMAND: Editor_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_TIMER: Editor_OnTimer(dialog, wParam); return FALSE;
    case WM_PAINT: PaintDialogWithPreview(dialog); return FALSE;
    case WM_DRAWITEM: Editor_OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return FALSE;
    case WM_MEASUREITEM:
        Editor_OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return FALSE;
    case WM_DESTROY: Editor_OnDestroy(dialog); return FALSE;
    default: return FALSE;
    }
}

bool RunEditorDialog() {
    if (!RegisterSliderClass(reinterpret_cast<HINSTANCE>(gModule), nullptr)) return false;
    gMarkerIcon = LoadIconA(reinterpret_cast<HINSTANCE>(gModule), MAKEINTRESOURCEA(IDI_MARKER));
    INT_PTR result = DialogBoxParamA(reinterpret_cast<HINSTANCE>(gModule),
                                     MAKEINTRESOURCEA(IDD_EDITOR), HostWindow(), TinctorDlgProc, 0);
    UnregisterSliderClass(reinterpret_cast<HINSTANCE>(gModule));
    return result == IDOK;
}
