// The installer program: its main window and the dialog chain it runs.
#pragma once
#include <windows.h>

#include "setup/resources/setup_ids.h"

struct CopyHooks;

// "OBSetupWClass": the full-screen main window's class.
ATOM InitApplication(HINSTANCE instance);
// Stores ghInst, loads the background texture and the logo and creates the
// main window (the whole screen; on Windows 95 less the height of an icon,
// so the task bar stays visible). 0 if the window cannot be created.
int InitInstance(HINSTANCE instance, int show);
LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Tiles IDB_BLUETEX, plays the logo inside margins of one twentieth and draws
// the title with its shadow.
void Paint(HWND window, HDC dc);
// The number of the window message registered as "OBSetup".
UINT SetupMsg();
// "Arial", `height` pixels high; null if it cannot be made.
HFONT MakeFont(int height);
// A metafile from the placeable metafile resource `name` of type "METAFILE";
// null if the resource is missing or malformed.
HMETAFILE LoadAPMMetaFile(HINSTANCE instance, const char* name);

// What setup.exe ends with, so that a script that runs it can tell.
enum SetupExitCode {
    kSetupInstalled = 0,  // Congratulations: every file is in place
    kSetupExited = 1,     // the user left by Exit, or stopped the copy with Cancel
    kSetupFailed = 2,     // a copy failed (its alert shown), or the program could not start
};

// The chain: WELCOME, PLATFORM, PLUGIN, the copy under INSTALLING, then DONE
// or FAILURE. Returns the program's exit code.
int Install(HWND window);

// The PLUGIN dialog's parameter: the buffer it leaves the chosen directory
// in, and what it measures the package with.
struct PathDialogParams {
    char* buffer;           // kPathBuffer characters
    int platform;           // the platform confirmed in PLATFORM
    const char* sourceDir;  // the package's files, normalised with PreparePath
};

INT_PTR CALLBACK PlatformDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PathDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BadPathDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InstallDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The PLATFORM dialog's boxes as one radio group of platform flags.
void CheckPlatform(HWND dialog, int platform);
int GetPlatform(HWND dialog);

// The INSTALLING dialog as the copy's hooks: the file being copied and its
// target in its texts, the progress in its graph; alerts through ALERT, and
// MyYield between rows, after which gfAbort stops the copy.
CopyHooks InstallingHooks(HWND dialog);
