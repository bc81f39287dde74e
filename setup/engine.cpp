// The engine's questions to the system: platform, INI file, drives and
// directories, free space, file dialog and file tests.
#include "setup/engine.h"

#include <commdlg.h>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <lzexpand.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/package.h"
#include "setup/state.h"

int Platform() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    if (!GetVersionExA(&info)) return PLATFORM_WIN31;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: return PLATFORM_WIN95;
    case VER_PLATFORM_WIN32_NT: return PLATFORM_NT;
    default: return PLATFORM_WIN31;
    }
}

int CheckINI(char* buffer) {
    return GetPrivateProfileStringA("Lumora", "PlugInDirectory", "", buffer, kPathBuffer,
                                    "lumora30.ini") > 0;
}

// The number of logical drives (A: = 0 up to the last one present), found
// once and kept for the program's life.
static int gDrives = 0;

static int DriveCount() {
    if (gDrives == 0) {
        DWORD mask = GetLogicalDrives();
        int n = 0;
        for (int d = 0; d < 26; ++d)
            if (mask & (1u << d)) n = d + 1;
        gDrives = n;
    }
    return gDrives;
}

// Drives without media must not stop the search with a system error box.
class QuietDriveErrors {
public:
    QuietDriveErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietDriveErrors() { SetErrorMode(previous_); }

private:
    UINT previous_;
};

// The process's current drive and directory, put back when the search that
// wanders over the drives is done.  Going back to the drive alone is not
// enough: a drive whose directory was never set explicitly returns to its root.
class KeepCurrentDirectory {
public:
    KeepCurrentDirectory() : drive_(_getdrive()) {
        if (!GetCurrentDirectoryA(sizeof(dir_), dir_)) dir_[0] = '\0';
    }
    ~KeepCurrentDirectory() {
        if (!dir_[0] || !SetCurrentDirectoryA(dir_)) _chdrive(drive_);
    }

private:
    int drive_;
    char dir_[MAX_PATH];
};

int testdir(const char* relative, char* buffer) {
    QuietDriveErrors quiet;
    KeepCurrentDirectory keep;
    int drives = DriveCount();
    buffer[0] = '\0';
    int found = 0;
    for (int d = 2; d < drives && !found; ++d) {
        if (_chdrive(d + 1) != 0) continue;
        char here[kPathBuffer];
        if (!_getcwd(here, kPathBuffer)) continue;
        if (_chdir(relative) == 0) {
            if (_getcwd(buffer, kPathBuffer)) found = 1;
            else buffer[0] = '\0';
        }
        _chdir(here);
    }
    return found;
}

int validdir(const char* path) {
    QuietDriveErrors quiet;
    KeepCurrentDirectory keep;
    while (*path == ' ') ++path;
    if (strlen(path) > 2 && path[1] == ':') {
        char c = path[0];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        int d = c - 'a';
        if (d >= 0 && d < DriveCount()) _chdrive(d + 1);
    }
    int ok = 0;
    char here[kPathBuffer];
    if (_getcwd(here, kPathBuffer)) {
        ok = _chdir(path) == 0;
        _chdir(here);
    }
    return ok;
}

// Kept between calls, so the dialog offers the name picked last.
static char gFindFile[kPathBuffer];

int FindDir(HWND owner, char* buffer) {
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.hInstance = ghInst;
    ofn.lpstrFilter = "Plug-in's (*.lmf)\0*.lmf\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = gFindFile;
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrInitialDir = buffer;
    ofn.lpstrTitle = "Plug-in's directory...";
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameA(&ofn)) return 0;
    char picked[kPathBuffer];
    strncpy(picked, gFindFile, kPathMax);
    picked[kPathMax] = '\0';
    if (ofn.nFileOffset > 0 && ofn.nFileOffset < strlen(picked)) picked[ofn.nFileOffset] = '\0';
    else CutAfterLastBackslash(picked);
    strcpy(buffer, picked);
    if (!buffer[0] && !_getcwd(buffer, kPathBuffer)) buffer[0] = '\0';
    return 1;
}

unsigned long freespace(int drive) {
    QuietDriveErrors quiet;
    _diskfree_t info = {};
    if (_getdiskfree(static_cast<unsigned>(drive), &info) != 0) return 0;
    if (info.sectors_per_cluster == static_cast<unsigned>(-1)) return 0;
    return KilobytesFree(info.avail_clusters, info.bytes_per_sector, info.sectors_per_cluster);
}

bool FreeSpaceDisplay::Text(const char* path, char* text) {
    int drive = DriveOfPath(path);
    if (drive < 0) {
        lastDrive_ = -1;
        strcpy(text, "--");
        return true;
    }
    if (drive == lastDrive_) return false;
    unsigned long kb = freespace(drive);
    if (kb == 0) strcpy(text, "--");
    else freespacestr(kb, text);
    lastDrive_ = drive;
    return true;
}

// Asked of the file's attributes rather than by opening it: an open in
// "exist" mode fails on a file that another program holds without sharing,
// and such a file would then count as missing (and as writeable).
int FileExist(const char* name) {
    DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int FileWriteable(const char* name) {
    if (!FileExist(name)) return 1;
    int fd = _open(name, _O_RDWR | _O_BINARY);
    if (fd == -1) return 0;
    _close(fd);
    return 1;
}

// The last-write stamp of an open file in the packed MS-DOS form (local time).
static bool ReadDosStamp(HANDLE file, DosStamp* stamp) {
    FILETIME written, local;
    WORD date, time;
    if (!GetFileTime(file, nullptr, nullptr, &written)) return false;
    if (!FileTimeToLocalFileTime(&written, &local)) return false;
    if (!FileTimeToDosDateTime(&local, &date, &time)) return false;
    stamp->date = date;
    stamp->time = time;
    return true;
}

static HANDLE OpenForReading(const char* name) {
    return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

int FileNewer(const char* source, const char* target) {
    if (!FileExist(target)) return 1;
    HANDLE s = OpenForReading(source);
    if (s == INVALID_HANDLE_VALUE) return 0;
    HANDLE t = OpenForReading(target);
    if (t == INVALID_HANDLE_VALUE) {
        CloseHandle(s);
        return 0;
    }
    DosStamp ss, ts;
    bool read = ReadDosStamp(s, &ss) && ReadDosStamp(t, &ts);
    CloseHandle(s);
    CloseHandle(t);
    return read ? StampNewer(ss, ts) : 0;
}

// The first `limit` bytes of a file as they expand (a file that is not
// compressed reads as it is); false if it cannot be opened.
static bool ReadExpanded(const char* path, size_t limit, std::string* bytes) {
    HFILE raw = _lopen(path, OF_READ | OF_SHARE_DENY_NONE);
    if (raw == HFILE_ERROR) return false;
    INT in = LZInit(raw);
    if (in < 0) {
        _lclose(raw);
        return false;
    }
    std::vector<char> chunk(32768);
    bytes->clear();
    INT n;
    while (bytes->size() < limit && (n = LZRead(in, chunk.data(), chunk.size())) > 0)
        bytes->append(chunk.data(), n);
    LZClose(in);
    return true;
}

static bool VersionOf(const char* path, uint64_t* version) {
    constexpr size_t kLargestLibrary = 16 << 20;
    std::string image;
    return ReadExpanded(path, kLargestLibrary, &image) &&
           FindFileVersion(reinterpret_cast<const unsigned char*>(image.data()), image.size(),
                           version);
}

int VersionNewer(const char* source, const char* target) {
    if (!FileExist(target)) return 1;
    uint64_t ours, theirs;
    if (VersionOf(source, &ours) && VersionOf(target, &theirs)) return ours > theirs ? 1 : 0;
    return FileNewer(source, target);
}

PackageSpace MeasurePackage(int platform, const char* sourceDir, const char* destDir) {
    PackageSpace space = {0, 0};
    for (const CopyEntry& row : gCopy) {
        if (!RowApplies(row, platform)) continue;
        std::string source = std::string(sourceDir) + row.pszSource;
        uint64_t size = 0;
        if (!ExpandedSize(source.c_str(), &size)) continue;  // the copy will say so
        space.bytes += size;
        if (row.fSystemDir || !destDir) continue;
        std::string target = destDir;
        if (!target.empty() && target.back() != '\\') target += '\\';
        target += row.pszTarget;
        WIN32_FILE_ATTRIBUTE_DATA existing;
        if (GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &existing) &&
            !(existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            uint64_t old =
                (static_cast<uint64_t>(existing.nFileSizeHigh) << 32) | existing.nFileSizeLow;
            space.replaced += old < size ? old : size;
        }
    }
    return space;
}

bool FreeBytesAt(const char* path, uint64_t* bytes) {
    // A folder that does not exist yet is on the drive of its nearest
    // existing parent.
    QuietDriveErrors quiet;
    std::string dir = path;
    for (;;) {
        ULARGE_INTEGER available;
        if (GetDiskFreeSpaceExA(dir.c_str(), &available, nullptr, nullptr)) {
            *bytes = available.QuadPart;
            return true;
        }
        while (!dir.empty() && dir.back() == '\\') dir.pop_back();
        size_t last = dir.rfind('\\');
        if (last == std::string::npos) return false;
        dir.erase(last + 1);
    }
}

int MakeAbsolute(const char* path, char* out) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n == 0 || n > static_cast<DWORD>(kPathMax)) return 0;
    strcpy(out, full);
    return 1;
}

int MakeDirectories(const char* path) {
    if (validdir(path)) return 1;
    std::string dir = path;
    while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    // Every missing level from the top down; on failure the levels made here
    // are removed again, deepest first.
    std::vector<std::string> made;
    size_t from = dir.rfind(':') != std::string::npos ? dir.find(':') + 2 : 0;
    if (dir.rfind("\\\\", 0) == 0) from = dir.find('\\', dir.find('\\', 2) + 1) + 1;
    bool ok = true;
    for (size_t at = dir.find('\\', from); ok; at = dir.find('\\', at + 1)) {
        std::string level = dir.substr(0, at);
        if (!validdir(level.c_str())) {
            ok = CreateDirectoryA(level.c_str(), nullptr) != 0;
            if (ok) made.push_back(level);
        }
        if (at == std::string::npos) break;
    }
    if (ok && validdir(path)) return 1;
    for (auto level = made.rbegin(); level != made.rend(); ++level)
        RemoveDirectoryA(level->c_str());
    return 0;
}
