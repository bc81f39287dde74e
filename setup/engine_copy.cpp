// The copy: expanding one file through the system's LZ library, reporting
// its errors, and the loop over the package's file table.
#include <windows.h>
#include <lzexpand.h>

#include <cstdio>
#include <cstring>

#include "setup/dlgutil.h"
#include "setup/engine.h"
#include "setup/state.h"

int ReportLZError(int code, const char* name) {
    LZErrorReport report = MapLZError(code);
    char format[48];
    if (LoadStringA(ghInst, report.stringId, format, sizeof(format)) <= 0) {
        strncpy(format, report.text, sizeof(format) - 1);
        format[sizeof(format) - 1] = '\0';
    }
    char message[sizeof(format) + 2 * kPathBuffer];
    FormatLZError(format, report, name, message, sizeof(message));
    ShowAlertStr(message);
    return report.mapped;
}

int MyLZCopy(const char* source, const char* target) {
    INT started = LZStart();
    if (started < 0) return ReportLZError(started, "");
    OFSTRUCT of = {};
    INT in = LZOpenFileA(const_cast<LPSTR>(source), &of, OF_READ);
    if (in < 0) {
        LZDone();
        ReportLZError(-1, source);
        return in;
    }
    // The target is opened by its exact name.  The library's own open, when
    // it cannot create a file (one in use, say), goes on to create one under
    // the compressed-file name ("x.dl_") and writes there: the real target
    // would stay as it was while the copy reported success.
    // From here the target is created or truncated: a copy that fails after
    // this point removes it, so no half-written file stays behind.  A target
    // that cannot be opened at all is left as it is.
    OFSTRUCT ofOut = {};
    HFILE out = OpenFile(target, &ofOut, OF_CREATE);
    if (out == HFILE_ERROR) {
        LZClose(in);
        LZDone();
        return ReportLZError(-1, target);
    }
    LONG copied = LZCopy(in, out);
    LZClose(in);
    _lclose(out);
    LZDone();
    if (copied < 0) {
        DeleteFileA(target);
        return ReportLZError(copied, source);
    }
    return 1;
}

// dir + name into out (kPathBuffer * 2 characters); false if it would not fit
// in a path buffer.
static bool JoinPath(const char* dir, const char* name, char* out) {
    if (strlen(dir) + strlen(name) > static_cast<size_t>(kPathMax)) return false;
    strcpy(out, dir);
    strcat(out, name);
    return true;
}

static void ShowStatus(const char* source, const char* target) {
    if (!ghStatus || !IsWindow(ghStatus)) return;
    SetDlgItemTextA(ghStatus, kCtlCopying, source);
    SetDlgItemTextA(ghStatus, kCtlCopyTo, target);
    UpdateWindow(GetDlgItem(ghStatus, kCtlCopying));
    UpdateWindow(GetDlgItem(ghStatus, kCtlCopyTo));
}

static void ShowProgress(int rowsDone) {
    if (!ghStatus || !IsWindow(ghStatus)) return;
    SendDlgItemMessageA(ghStatus, kCtlProgress, WM_USER + 1, 1, MulDiv(rowsDone, 100, gFiles));
}

// Installs one row; false (after the error has been shown) if the copy failed.
static bool CopyRow(const CopyEntry& row, const char* sourceDir, const char* destDir) {
    char source[2 * kPathBuffer], target[2 * kPathBuffer], system[kPathBuffer];
    const char* dir = destDir;
    if (row.fSystemDir) {
        UINT n = gfNetworkWin ? GetWindowsDirectoryA(system, kPathMax)
                              : GetSystemDirectoryA(system, kPathMax);
        if (n == 0 || n >= static_cast<UINT>(kPathMax) - 1) {
            ReportLZError(-3, "");
            return false;
        }
        PreparePath(system);
        dir = system;
    }
    // A name that does not fit a path buffer cannot be opened.
    if (!JoinPath(sourceDir, row.pszSource, source)) {
        ReportLZError(-1, row.pszSource);
        return false;
    }
    if (!JoinPath(dir, row.pszTarget, target)) {
        ReportLZError(-1, row.pszTarget);
        return false;
    }
    if (row.fSystemDir && gfForceMSVC && FileExist(target)) DeleteFileA(target);
    ShowStatus(row.pszSource, target);
    if (!row.fIfNewer || FileNewer(source, target) == 1) return MyLZCopy(source, target) >= 0;
    return true;  // up to date: left alone without a message
}

int CopyFiles(int platform, const char* sourceDir, const char* destDir) {
    for (int i = 0; !gfAbort && i < gFiles; ++i) {
        if (RowApplies(gCopy[i], platform) && !CopyRow(gCopy[i], sourceDir, destDir)) {
            gfAbort = 1;
            break;
        }
        ShowProgress(i + 1);
        MyYield();
    }
    return !gfAbort;
}
