// The installation engine: platform detection, the search for the host's
// plug-in directory, free space, directory tests, file tests and the LZ copy
// of the package's file table.  Paths live in buffers of kPathBuffer (160)
// characters.  The portable rules (PreparePath, freespacestr, the stamp
// comparison) are in setup/paths.h; this header adds the ones that talk to
// the system.
//
// The engine knows no dialog of the installer: the copy tells whoever runs
// it what it does, and asks what it needs, through CopyHooks.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "setup/filetable.h"
#include "setup/paths.h"

// What the copy asks of whoever runs it.  A hook left empty is not called
// (an empty yield never stops the copy).
struct CopyHooks {
    // Shows a copy error; returns once the user has read it.
    std::function<void(const char* text)> alert;
    // Between two rows: lets waiting messages through; true when the user
    // asked to stop.
    std::function<bool()> yield;
    // The rows done so far, in percent of the table (rounded).
    std::function<void(int percent)> progress;
    // The row about to be installed: its source file name and the full
    // target path.
    std::function<void(const char* source, const char* target)> status;
};

// PLATFORM_WIN95, PLATFORM_NT or PLATFORM_WIN31 for the running system.
int Platform();

// Nonzero if "lumora30.ini" (in the Windows directory) names a plug-in
// directory ([Lumora] PlugInDirectory); it is left in `buffer` as written.
int CheckINI(char* buffer);

// Nonzero if some drive from C: on has the directory `relative` (a path from
// the root, such as "\lumora\plugins"); its full path is left in `buffer`.
// The current drive and directories are as before on return.
int testdir(const char* relative, char* buffer);

// Nonzero if `path` is an existing directory.  Leaves the current drive and
// directory as they were.
int validdir(const char* path);

// Lets the user point at a file in the wanted directory with the open-file
// dialog, starting in `buffer`.  Nonzero if a location was picked; its
// directory (with a trailing backslash) is then left in `buffer`.
int FindDir(HWND owner, char* buffer);

// Free kilobytes on drive `drive` (0 = current, 1 = A:, 2 = B:, ...), or 0
// if the drive cannot be read.
unsigned long freespace(int drive);

// The free-space field of the PLUGIN dialog, without the dialog: it follows
// the drive of the typed path, and a drive already shown is not asked again.
class FreeSpaceDisplay {
public:
    // The text for `path` into `text` (32 characters): the drive's free
    // space, or "--" for an empty path or a drive that cannot be read.  False
    // when the field keeps what it shows (the drive shown last).
    bool Text(const char* path, char* text);
    // Forgets the drive shown last, as for a new dialog.
    void Reset() { lastDrive_ = -1; }

private:
    int lastDrive_ = -1;
};

// The space the package takes, from the sizes its files expand to (the
// SZDD headers) over the rows that apply to `platform`.  `replaced` is the
// part that files already in `destDir` (null: none) give back when they are
// overwritten.  A source that cannot be read counts nothing.
struct PackageSpace {
    uint64_t bytes;
    uint64_t replaced;
};
PackageSpace MeasurePackage(int platform, const char* sourceDir, const char* destDir);

// Bytes free to the user where `path` lies, or on the drive of its nearest
// existing parent; false if the system cannot say.
bool FreeBytesAt(const char* path, uint64_t* bytes);

// `path` made absolute against the current drive and directory, into `out`
// (a path buffer); 0 if the result would not fit.
int MakeAbsolute(const char* path, char* out);

// Makes the directory `path` with every missing level above it; nonzero if
// it exists afterwards.  When a level cannot be made, those made on the way
// are removed again.
int MakeDirectories(const char* path);

int FileExist(const char* name);
// True if `name` does not exist or can be opened for reading and writing.
int FileWriteable(const char* name);
// 1 if `target` is missing or `source` carries a newer stamp (see
// StampNewer), else 0 (also when either cannot be read).
int FileNewer(const char* source, const char* target);
// The rule for the runtime rows: 1 if `target` is missing or, when both
// files carry a version resource, if the (expanded) source's version is
// higher; a target of equal or higher version stays.  When either has no
// version resource, the stamps decide (FileNewer).
int VersionNewer(const char* source, const char* target);

// The size `path` expands to: what its SZDD header announces, or its own
// size when it is not compressed; false if it cannot be opened.
bool ExpandedSize(const char* path, uint64_t* size);

// Expands (or copies, when not compressed) `source` into `target` through the
// system's LZ library.  1 on success; a negative code after the error has
// been shown through the alert hook.  A copy shorter or longer than the size
// the source's header announces is a read error.  A target this call created
// or truncated is removed again when the copy fails.
int MyLZCopy(const char* source, const char* target, const CopyHooks& hooks);

// Shows the alert for an LZ library error code about file `name` and returns
// the code it maps to (-6 becomes -5, codes without a message -3).
int ReportLZError(int code, const char* name, const CopyHooks& hooks);

// The copy loop: installs every row of gCopy that applies to `platform` from
// `sourceDir` into `destDir` or the system directory (the Windows directory
// with gfNetworkWin; an existing one replaced with gfForceMSVC), both
// normalised with PreparePath.  Every source and target path is made first:
// when one does not fit a path buffer, nothing is copied.  Tells the status
// of each row before it and the progress after it, then yields; stops before
// the next row when the yield asks to.  Returns 1 if every row was done, 0
// if the user stopped it, -1 if a copy failed (its error shown).
int CopyFiles(int platform, const char* sourceDir, const char* destDir, const CopyHooks& hooks);
