// The dialog chain of the installer and the procedures of its dialogs.
#include <cstdio>
#include <cstring>

#include "controls/checkbox.h"
#include "controls/panels.h"
#include "setup/dlgutil.h"
#include "setup/engine.h"
#include "setup/fittext.h"
#include "setup/package.h"
#include "setup/setup.h"
#include "setup/state.h"

namespace {

struct PlatformBox {
    int id;
    int flag;
};
constexpr PlatformBox kPlatformBoxes[] = {
    {IDC_WIN95, PLATFORM_WIN95}, {IDC_NT, PLATFORM_NT}, {IDC_WIN31, PLATFORM_WIN31}};

int FlagOfBox(int id) {
    for (const PlatformBox& box : kPlatformBoxes)
        if (box.id == id) return box.flag;
    return 0;
}

template <class T>
T* DialogParam(HWND dialog) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void ReadPathEdit(HWND dialog, char* buffer) {
    GetDlgItemTextA(dialog, IDC_PATH, buffer, kPathBuffer);
}

// The free-space field of the open PLUGIN dialog.
FreeSpaceDisplay gFreeSpace;

void ShowFreeSpace(HWND dialog, const char* path) {
    char text[32];
    if (gFreeSpace.Text(path, text)) SetDlgItemTextA(dialog, IDC_SPACE_FREE, text);
}

void ShowRequiredSpace(HWND dialog, unsigned long kilobytes) {
    char text[32];
    freespacestr(kilobytes, text);
    SetDlgItemTextA(dialog, IDC_SPACE_REQUIRED, text);
}

// Continue is offered only for a non-empty path; the free space follows
// the drive it names.
void Path_Refresh(HWND dialog, const char* buffer) {
    EnableWindow(GetDlgItem(dialog, IDOK), buffer[0] != '\0');
    ShowFreeSpace(dialog, buffer);
}

void Path_OnInitDialog(HWND dialog, PathDialogParams* params) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(params));
    char* buffer = params->buffer;
    CenterDialog(dialog);
    if (gfScan) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        if (!CheckINI(buffer) && !testdir("\\lumora\\plugins", buffer) &&
            !testdir("\\win32app\\lumora\\plugins", buffer))
            std::strcpy(buffer, "c:\\plugins");
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    }
    // A new dialog has empty space fields, whatever an earlier one showed.
    gFreeSpace.Reset();
    SendDlgItemMessageA(dialog, IDC_PATH, EM_LIMITTEXT, kPathMax, 0);
    SetDlgItemTextA(dialog, IDC_PATH, buffer);
    PackageSpace space = MeasurePackage(params->platform, params->sourceDir, nullptr);
    ShowRequiredSpace(dialog, KilobytesUp(space.bytes));
    Path_Refresh(dialog, buffer);
    SetFocus(GetDlgItem(dialog, IDC_PATH));
}

// After an alert the user goes on typing in the path field.
void Path_BackToEdit(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_PATH);
    SetFocus(edit);
    // Re-activation after the alert may come later and hand the focus back
    // to Continue: once more, behind it.
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
}

// False, after the alert, when the drive of the chosen directory has less
// room than the package needs there (files it overwrites give theirs back).
// A drive that cannot say how much is free is not held against the user.
bool Path_CheckRoom(const PathDialogParams& params) {
    PackageSpace space = MeasurePackage(params.platform, params.sourceDir, params.buffer);
    uint64_t free = 0;
    uint64_t needed = space.bytes - space.replaced;
    if (!FreeBytesAt(params.buffer, &free) || free >= needed) return true;
    char neededText[32], freeText[32], format[160], message[256];
    freespacestr(KilobytesUp(needed), neededText);
    freespacestr(static_cast<uint32_t>(free / 1024), freeText);
    if (LoadStringA(ghInst, IDS_NOROOM, format, sizeof format) <= 0) return true;
    std::snprintf(message, sizeof message, format, neededText, freeText);
    ShowAlertStr(message);
    return false;
}

void Path_OnContinue(HWND dialog, PathDialogParams* params) {
    char* buffer = params->buffer;
    ReadPathEdit(dialog, buffer);
    TrimBlanks(buffer);
    // A relative path is taken from the current folder; the field then shows
    // the full path that will be used.
    char full[kPathBuffer];
    bool usable = buffer[0] && MakeAbsolute(buffer, full);
    if (usable) {
        std::strcpy(buffer, full);
        SetDlgItemTextA(dialog, IDC_PATH, buffer);
        // Every installed name must fit behind it in a path buffer.
        usable = TargetsFit(buffer);
    }
    if (usable && !Path_CheckRoom(*params)) {
        Path_BackToEdit(dialog);
        return;
    }
    if (!usable || !MakeDirectories(buffer)) {
        ShowModalDialog(IDD_BADPATH, BadPathDlgProc, dialog, reinterpret_cast<LPARAM>(buffer));
        Path_BackToEdit(dialog);
        return;
    }
    EndDialog(dialog, IDOK);
}

void Path_OnBrowse(HWND dialog, char* buffer) {
    ReadPathEdit(dialog, buffer);
    if (!FindDir(dialog, buffer)) return;
    SetDlgItemTextA(dialog, IDC_PATH, buffer);
    Path_Refresh(dialog, buffer);
}

}  // namespace

void CheckPlatform(HWND dialog, int platform) {
    for (const PlatformBox& box : kPlatformBoxes) {
        int want = platform == box.flag ? 1 : 0;
        int state = SendDlgItemMessageA(dialog, box.id, CheckBoxGetState, 0, 0) ? 1 : 0;
        if (state != want) SendDlgItemMessageA(dialog, box.id, CheckBoxSetState, want, 0);
    }
}

int GetPlatform(HWND dialog) {
    if (SendDlgItemMessageA(dialog, IDC_WIN95, CheckBoxGetState, 0, 0)) return PLATFORM_WIN95;
    if (SendDlgItemMessageA(dialog, IDC_NT, CheckBoxGetState, 0, 0)) return PLATFORM_NT;
    return PLATFORM_WIN31;
}

INT_PTR CALLBACK PlatformDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CheckPlatform(dialog, *reinterpret_cast<int*>(lParam));
        CenterDialog(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        if (id == IDOK) {
            *DialogParam<int>(dialog) = GetPlatform(dialog);
            EndDialog(dialog, wParam);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, wParam);
            return TRUE;
        }
        if (FlagOfBox(id) && code == 0) {
            CheckPlatform(dialog, FlagOfBox(id));
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK PathDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        Path_OnInitDialog(dialog, reinterpret_cast<PathDialogParams*>(lParam));
        return FALSE;
    case WM_COMMAND: {
        PathDialogParams* params = DialogParam<PathDialogParams>(dialog);
        if (!params) return FALSE;
        char* buffer = params->buffer;
        int id = LOWORD(wParam);
        switch (id) {
        case IDOK: Path_OnContinue(dialog, params); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_BROWSE: Path_OnBrowse(dialog, buffer); return TRUE;
        case IDC_PATH:
            if (HIWORD(wParam) != EN_CHANGE) return FALSE;
            ReadPathEdit(dialog, buffer);
            Path_Refresh(dialog, buffer);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK BadPathDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        CenterDialog(dialog);
        // The template's text is the format: "Cannot find "%s"".
        char format[64];
        GetDlgItemTextA(dialog, IDC_MESSAGE, format, sizeof format);
        char text[64 + kPathBuffer];
        std::snprintf(text, sizeof text, format, reinterpret_cast<const char*>(lParam));
        SetItemTextFitted(dialog, IDC_MESSAGE, text, true);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_COMMAND:  // OK and Cancel end it, as in every plain dialog
        return GenericDlgProc(dialog, msg, wParam, lParam);
    }
    return FALSE;
}

INT_PTR CALLBACK InstallDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        CenterDialog(dialog);
        SendDlgItemMessageA(dialog, IDC_PROGRESS, GraphSetRange, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(dialog, IDC_PROGRESS, GraphSetPos, 1, 0);
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE;
    case WM_COMMAND:
        // The copy loop notices the flag before its next row and ends us.
        if (wParam == IDCANCEL) {
            gfAbort = 1;
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

CopyHooks InstallingHooks(HWND dialog) {
    CopyHooks hooks;
    hooks.alert = [](const char* text) { ShowAlertStr(text); };
    // Cancel (and closing the main window) set gfAbort between two rows.
    hooks.yield = [] {
        MyYield();
        return gfAbort != 0;
    };
    hooks.progress = [dialog](int percent) {
        if (IsWindow(dialog)) SendDlgItemMessageA(dialog, IDC_PROGRESS, GraphSetPos, 1, percent);
    };
    hooks.status = [dialog](const char* source, const char* target) {
        if (!IsWindow(dialog)) return;
        SetDlgItemTextA(dialog, IDC_COPYING, source);
        // A long target keeps its file name in view.
        SetItemTextFitted(dialog, IDC_COPY_TO, target, false);
        // Drawn now: no message is let through until the file is copied.
        UpdateWindow(GetDlgItem(dialog, IDC_COPYING));
        UpdateWindow(GetDlgItem(dialog, IDC_COPY_TO));
    };
    return hooks;
}

int Install(HWND window) {
    char dest[kPathBuffer + 1] = "";
    char source[kPathBuffer + 1] = "";
    if (ShowModalDialog(IDD_WELCOME, GenericDlgProc, window, 0) != IDOK) return kSetupExited;
    int platform = Platform();
    if (ShowModalDialog(IDD_PLATFORM, PlatformDlgProc, window,
                        reinterpret_cast<LPARAM>(&platform)) != IDOK)
        return kSetupExited;
    // The package's files lie beside the running program.
    DWORD length = GetModuleFileNameA(nullptr, source, kPathMax);
    source[length < static_cast<DWORD>(kPathMax) ? length : kPathMax] = '\0';
    CutAfterLastBackslash(source);
    if (source[0]) PreparePath(source);
    PathDialogParams path = {dest, platform, source};
    if (ShowModalDialog(IDD_PLUGIN, PathDlgProc, window, reinterpret_cast<LPARAM>(&path)) != IDOK) {
        ShowModalDialog(IDD_FAILURE, GenericDlgProc, window, 0);
        return kSetupExited;
    }
    PreparePath(dest);

    ghStatus = CreateDialogParamA(ghInst, IDD_INSTALLING, window, InstallDlgProc, 0);
    UpdateWindow(window);
    // A close that came while the dialogs before were open stops the copy
    // before its first row.
    int copied = gfAbort ? 0 : CopyFiles(platform, source, dest, InstallingHooks(ghStatus));
    if (ghStatus) DestroyWindow(ghStatus);
    ghStatus = nullptr;

    ShowModalDialog(copied > 0 ? IDD_DONE : IDD_FAILURE, GenericDlgProc, window, 0);
    if (copied > 0) return kSetupInstalled;
    return copied < 0 ? kSetupFailed : kSetupExited;
}
