#include "setup/filetable.h"

// Copied in row order.  Exactly one of the two runtime rows applies to any
// platform; both install as msvcrt20.dll.
const CopyEntry gCopy[gFiles] = {
    {"msvcrt20._ll", "msvcrt20.dll", 1, 1, PLATFORM_NT | PLATFORM_WIN95},
    {"msvcrt20._2s", "msvcrt20.dll", 1, 1, PLATFORM_WIN31},
    {"pkcommon._ll", "pkcommon.dll", 0, 0, 14},
    {"pkfilt01._mf", "pkfilt01.lmf", 0, 0, 14},
    {"pkfilt02._mf", "pkfilt02.lmf", 0, 0, 14},
    {"pkfilt03._mf", "pkfilt03.lmf", 0, 0, 14},
    {"pkfilt04._mf", "pkfilt04.lmf", 0, 0, 14},
    {"pkfilt05._mf", "pkfilt05.lmf", 0, 0, 14},
    {"pkfilt06._mf", "pkfilt06.lmf", 0, 0, 14},
    {"pkfilt07._mf", "pkfilt07.lmf", 0, 0, 14},
    {"pkfilt08._mf", "pkfilt08.lmf", 0, 0, 14},
    {"pkfilt09._mf", "pkfilt09.lmf", 0, 0, 14},
    {"pkfilt10._mf", "pkfilt10.lmf", 0, 0, 14},
};
static_assert(14 == (PLATFORM_NT | PLATFORM_WIN95 | PLATFORM_WIN31));
