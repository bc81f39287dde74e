// The copy: expanding one file through the system's LZ library, reporting
// its errors, and the loop over the package's file table.
#include <windows.h>
#include <lzexpand.h>

#include <cstdio>
#include <cstring>

#include "setup/engine.h"
#include "setup/package.h"
#include "setup/state.h"

int ReportLZError(int code, const char* name, const CopyHooks& hooks) {
    LZErrorReport report = MapLZError(code);
    char format[48];
    if (LoadStringA(ghInst, report.stringId, format, sizeof(format)) <= 0) {
        strncpy(format, report.text, sizeof(format) - 1);
        format[sizeof(format) - 1] = '\0';
    }
    char message[sizeof(format) + 2 * kPathBuffer];
    FormatLZError(format, report, name, message, sizeof(message));
    if (hooks.alert) hooks.alert(message);
    return report.mapped;
}

// The size `file` expands to: the one its SZDD header announces, or its own
// size when it is not compressed.  The file is left at its start.
static bool ExpandedSizeOf(HFILE file, uint64_t* size) {
    unsigned char header[kSzddHeaderSize];
    UINT got = _lread(file, header, sizeof header);
    uint32_t announced = 0;
    bool compressed =
        got != static_cast<UINT>(HFILE_ERROR) && SzddExpandedSize(header, got, &announced);
    LONG end = _llseek(file, 0, FILE_END);
    _llseek(file, 0, FILE_BEGIN);
    if (compressed) *size = announced;
    else if (end != HFILE_ERROR) *size = static_cast<uint64_t>(end);
    return compressed || end != HFILE_ERROR;
}

bool ExpandedSize(const char* path, uint64_t* size) {
    HFILE file = _lopen(path, OF_READ | OF_SHARE_DENY_NONE);
    if (file == HFILE_ERROR) return false;
    bool known = ExpandedSizeOf(file, size);
    _lclose(file);
    return known;
}

int MyLZCopy(const char* source, const char* target, const CopyHooks& hooks) {
    INT started = LZStart();
    if (started < 0) return ReportLZError(started, "", hooks);
    // Both files are opened by calls that take a path of any length: the
    // library's own open and OpenFile stop at 127 characters.
    HFILE raw = _lopen(source, OF_READ);
    if (raw == HFILE_ERROR) {
        LZDone();
        return ReportLZError(LZERROR_BADINHANDLE, source, hooks);
    }
    uint64_t expected = 0;
    bool sizeKnown = ExpandedSizeOf(raw, &expected);
    INT in = LZInit(raw);
    if (in < 0) {
        _lclose(raw);
        LZDone();
        return ReportLZError(in, source, hooks);
    }
    // The target is created by its exact name: the library's own open, when
    // it cannot create a file (one in use, say), goes on to create one under
    // the compressed-file name ("x.dl_") and writes there.  From here the
    // target is created or truncated: a copy that fails after this point
    // removes it, so no half-written file stays behind.  A target that
    // cannot be opened at all is left as it is.
    HFILE out = _lcreat(target, 0);
    if (out == HFILE_ERROR) {
        LZClose(in);
        LZDone();
        return ReportLZError(LZERROR_BADINHANDLE, target, hooks);
    }
    LONG copied = LZCopy(in, out);
    LZClose(in);
    _lclose(out);
    LZDone();
    // A cut or damaged source ends early without an error from the library:
    // whatever does not match the size its header announces is a read error.
    if (copied >= 0 && sizeKnown && static_cast<uint64_t>(copied) != expected)
        copied = LZERROR_READ;
    if (copied < 0) {
        DeleteFileA(target);
        return ReportLZError(copied, source, hooks);
    }
    return 1;
}

// dir (ending in a separator) + name into out (a path buffer); false if it
// would not fit there, by the rule the location dialog checks with.
static bool JoinPath(const char* dir, const char* name, char* out) {
    if (!PathFits(dir, name)) return false;
    strcpy(out, dir);
    strcat(out, name);
    return true;
}

// The source and target paths of one row.
struct RowPaths {
    char source[kPathBuffer];
    char target[kPathBuffer];
};

// Fills `paths` for `row`; false, after the error has been shown, when a
// path does not fit its buffer (such a file could not be opened).
static bool PlanRow(const CopyEntry& row, const char* sourceDir, const char* destDir,
                    RowPaths* paths, const CopyHooks& hooks) {
    char system[kPathBuffer];
    const char* dir = destDir;
    if (row.fSystemDir) {
        UINT n = gfNetworkWin ? GetWindowsDirectoryA(system, kPathMax)
                              : GetSystemDirectoryA(system, kPathMax);
        if (n == 0 || n >= static_cast<UINT>(kPathMax) - 1) {
            ReportLZError(-3, "", hooks);
            return false;
        }
        PreparePath(system);
        dir = system;
    }
    if (!JoinPath(sourceDir, row.pszSource, paths->source)) {
        ReportLZError(-1, row.pszSource, hooks);
        return false;
    }
    if (!JoinPath(dir, row.pszTarget, paths->target)) {
        ReportLZError(-1, row.pszTarget, hooks);
        return false;
    }
    return true;
}

// Installs one row; false (after the error has been shown) if the copy failed.
static bool CopyRow(const CopyEntry& row, const RowPaths& paths, const CopyHooks& hooks) {
    if (row.fSystemDir && gfForceMSVC && FileExist(paths.target)) DeleteFileA(paths.target);
    if (hooks.status) hooks.status(row.pszSource, paths.target);
    if (!row.fIfNewer || VersionNewer(paths.source, paths.target) == 1)
        return MyLZCopy(paths.source, paths.target, hooks) >= 0;
    return true;  // up to date: left alone without a message
}

int CopyFiles(int platform, const char* sourceDir, const char* destDir, const CopyHooks& hooks) {
    // Every path is made before the first file is copied: a row that cannot
    // be installed stops the installation before anything has changed.
    RowPaths plan[gFiles];
    for (int i = 0; i < gFiles; ++i) {
        if (RowApplies(gCopy[i], platform) &&
            !PlanRow(gCopy[i], sourceDir, destDir, &plan[i], hooks))
            return -1;
    }
    bool stopped = false;
    for (int i = 0; !stopped && i < gFiles; ++i) {
        if (RowApplies(gCopy[i], platform) && !CopyRow(gCopy[i], plan[i], hooks)) return -1;
        // Rows of other platforms count too: the last row makes 100.
        if (hooks.progress) hooks.progress(MulDiv(i + 1, 100, gFiles));
        stopped = hooks.yield && hooks.yield();
    }
    return stopped ? 0 : 1;
}
