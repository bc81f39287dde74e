// The installer program: its main window and the dialog chain it runs.
#pragma once
#include <windows.h>

// "OBSetupWClass": the full-screen main window's class.
ATOM InitApplication(HINSTANCE instance);
// Stores ghInst, loads the background texture and the logo and creates the
// main window (the whole screen; on Windows 95 less the height of an icon,
// so the task bar stays visible). 0 if the window cannot be created.
int InitInstance(HINSTANCE instance, int show);
LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Tiles "BlueTex", plays the logo inside margins of one twentieth and draws
// the title with its shadow.
void Paint(HWND window, HDC dc);
// The number of the window message registered as "OBSetup".
UINT SetupMsg();
// "Arial", `height` pixels high; null if it cannot be made.
HFONT MakeFont(int height);
// A metafile from the placeable metafile resource `name` of type "METAFILE";
// null if the resource is missing or malformed.
HMETAFILE LoadAPMMetaFile(HINSTANCE instance, const char* name);

// The chain: WELCOME, PLATFORM, PLUGIN, the copy under INSTALLING, then DONE
// or FAILURE. Nonzero if the package was installed.
int Install(HWND window);

INT_PTR CALLBACK PlatformDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PathDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BadPathDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InstallDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The PLATFORM dialog's boxes as one radio group of platform flags.
void CheckPlatform(HWND dialog, int platform);
int GetPlatform(HWND dialog);

// Control ids of the chain's dialogs.
constexpr int kCtlWin31Box = 2001;
constexpr int kCtlNTBox = 2002;
constexpr int kCtlWin95Box = 2003;
constexpr int kCtlPathEdit = 100;
constexpr int kCtlBrowse = 101;
constexpr int kCtlBadPathText = 101;
// Check-box and graph messages of the control library.
constexpr UINT kCheckBoxSet = WM_USER;
constexpr UINT kCheckBoxGet = WM_USER + 1;
constexpr UINT kGraphRange = WM_USER;
constexpr UINT kGraphPosition = WM_USER + 1;
