// The package's file table and the platform flags it is keyed by.  Plain data:
// no Windows headers, so the copy plan can be checked on its own.
#pragma once

// The platforms a row is installed for (one bit each).
constexpr int PLATFORM_NT = 2;     // Windows NT 3.5 / 3.51
constexpr int PLATFORM_WIN95 = 4;  // Windows 95
constexpr int PLATFORM_WIN31 = 8;  // Windows 3.1 / for Workgroups with Win32s

// Every path the installer handles lives in a buffer of this size (159
// characters and the terminating zero).
constexpr int kPathBuffer = 160;
constexpr int kPathMax = kPathBuffer - 1;  // characters a path may have

struct CopyEntry {
    const char* pszSource;  // compressed source in the program's own directory
    const char* pszTarget;  // name it is installed under
    int fSystemDir;         // 1: system (or Windows) directory, 0: plug-in directory
    int fIfNewer;           // 1: only when missing or older than the source
    unsigned ulPlatforms;   // mask of PLATFORM_* flags
};

constexpr int gFiles = 13;
extern const CopyEntry gCopy[gFiles];

// Nonzero if row `entry` is installed on `platform`.
inline bool RowApplies(const CopyEntry& entry, int platform) {
    return (entry.ulPlatforms & static_cast<unsigned>(platform)) != 0;
}
