/* pkcommon.dll: the Obsidia collection's shared library, installed beside
   the filters.  It carries the package's version resource, and reports the
   package version to whoever loads it. */
#include <windows.h>

#include "setup/runtime/pkcommon_version.h"

BOOL WINAPI PkCommonEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

/* The package version: major in the high word, minor in the low word. */
DWORD WINAPI PkCommonVersion(void) { return MAKELONG(PKCOMMON_MINOR, PKCOMMON_MAJOR); }
