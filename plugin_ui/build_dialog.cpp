// The Build Filter dialog (IDD_BUILD): category, title, copyright, author,
// file name and the maps and sliders the made filter's dialog shows, read
// into the maker's copy of the definition on OK.
//
// The fields start from the template's texts and the boxes cleared; nothing
// is taken from the definition. A map stands for the slider pair 2i, 2i+1, so
// a map and the controls of its pair exclude each other.
#include <windows.h>

#include "plugin_ui/ui.h"

namespace {

struct FieldLimit {
    int first, last, limit;
};
// The typing limit is one more than what is stored.
constexpr FieldLimit kLimits[] = {
    {IDC_BUILD_CATEGORY, IDC_BUILD_TITLE, 32},
    {IDC_BUILD_COPYRIGHT, IDC_BUILD_AUTHOR, 128},
    {IDC_BUILD_FILE_NAME, IDC_BUILD_FILE_NAME, 32},
    {IDC_BUILD_MAP_LABEL, IDC_BUILD_SLIDER_LABEL + 7, 64},
};

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on); }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void BuildDlg_OnInitDialog(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_BUILD_CATEGORY, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, IDC_BUILD_CATEGORY));
    for (const FieldLimit& f : kLimits)
        for (int id = f.first; id <= f.last; ++id)
            SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, f.limit, 0);
    for (int id = IDC_BUILD_MAP_LABEL; id <= IDC_BUILD_SLIDER_LABEL + 7; ++id)
        Enable(dialog, id, false);
    CenterOnParent(dialog);
}

void BuildDlg_OnMapBox(HWND dialog, int i) {
    bool on = Checked(dialog, IDC_BUILD_MAP_BOX + i);
    Enable(dialog, IDC_BUILD_MAP_LABEL + i, on);
    if (!on) return;
    for (int j = 2 * i; j <= 2 * i + 1; ++j) {
        Enable(dialog, IDC_BUILD_SLIDER_LABEL + j, false);
        CheckDlgButton(dialog, IDC_BUILD_SLIDER_BOX + j, BST_UNCHECKED);
    }
}

void BuildDlg_OnSliderBox(HWND dialog, int j) {
    bool on = Checked(dialog, IDC_BUILD_SLIDER_BOX + j);
    Enable(dialog, IDC_BUILD_SLIDER_LABEL + j, on);
    if (!on) return;
    CheckDlgButton(dialog, IDC_BUILD_MAP_BOX + j / 2, BST_UNCHECKED);
    Enable(dialog, IDC_BUILD_MAP_LABEL + j / 2, false);
}

// Reads field `id` into `slot` (at most limit - 1 characters); false when empty.
bool ReadField(HWND dialog, int id, char* slot, int limit) {
    return GetDlgItemTextA(dialog, id, slot, limit) > 0;
}

bool Refuse(HWND dialog, int id) {
    SetFocus(GetDlgItem(dialog, id));
    MessageBeep(0);
    return false;
}

bool BuildDlg_OnOK(HWND dialog) {
    FilterDefinition& copy = *gState->makerCopy;
    if (!ReadField(dialog, IDC_BUILD_CATEGORY, copy.category, 32))
        return Refuse(dialog, IDC_BUILD_CATEGORY);
    if (!ReadField(dialog, IDC_BUILD_TITLE, copy.title, 32)) return Refuse(dialog, IDC_BUILD_TITLE);
    if (!ReadField(dialog, IDC_BUILD_FILE_NAME, gState->makeFileName, 32))
        return Refuse(dialog, IDC_BUILD_FILE_NAME);
    ReadField(dialog, IDC_BUILD_COPYRIGHT, copy.copyright, 128);
    ReadField(dialog, IDC_BUILD_AUTHOR, copy.author, 128);
    bool any = false;
    for (int i = 0; i < 4; ++i) {
        ReadField(dialog, IDC_BUILD_MAP_LABEL + i, copy.mapLabel[i], 64);
        copy.mapShown[i] = Checked(dialog, IDC_BUILD_MAP_BOX + i);
        any = any || copy.mapShown[i];
    }
    for (int j = 0; j < 8; ++j) {
        ReadField(dialog, IDC_BUILD_SLIDER_LABEL + j, copy.sliderLabel[j], 64);
        copy.sliderShown[j] = Checked(dialog, IDC_BUILD_SLIDER_BOX + j);
        any = any || copy.sliderShown[j];
    }
    // Set when anything is shown, never cleared here.
    if (any) copy.hasDialog = 1;
    return true;
}

void BuildDlg_OnCommand(HWND dialog, int id, int code) {
    if (id >= IDC_BUILD_MAP_BOX && id < IDC_BUILD_MAP_BOX + 4 && code == BN_CLICKED)
        BuildDlg_OnMapBox(dialog, id - IDC_BUILD_MAP_BOX);
    else if (id >= IDC_BUILD_SLIDER_BOX && id < IDC_BUILD_SLIDER_BOX + 8 && code == BN_CLICKED)
        BuildDlg_OnSliderBox(dialog, id - IDC_BUILD_SLIDER_BOX);
    else if (id == IDOK && BuildDlg_OnOK(dialog)) EndDialog(dialog, 1);
    else if (id == IDCANCEL) EndDialog(dialog, 2);
}

}  // namespace

extern "C" INT_PTR CALLBACK BuildDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: BuildDlg_OnInitDialog(dialog); return FALSE;
    case WM_COMMAND: BuildDlg_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    }
    return FALSE;
}

bool RunBuildDialog() {
    HWND owner = gState ? static_cast<HWND>(gState->dialogWindow) : nullptr;
    return DialogBoxParamA(reinterpret_cast<HINSTANCE>(gModule), MAKEINTRESOURCEA(IDD_BUILD), owner,
                           BuildDlgProc, 0) == 1;
}
