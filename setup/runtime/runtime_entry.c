/* The installed C runtime is the platform's own: every export of this
   library forwards to msvcrt.dll, so its entry point has nothing to do. */
#include <windows.h>

BOOL WINAPI RuntimeEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
