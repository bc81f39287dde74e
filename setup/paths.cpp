#include "setup/paths.h"

#include <cstdio>
#include <cstring>

void PreparePath(char* path) {
    size_t n = strlen(path);
    if (n == 0 || path[n - 1] != '\\') {
        path[n++] = '\\';
        path[n] = '\0';
    }
    // Plain ASCII lower-casing: the system's code page is not ours to guess.
    for (char* p = path; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
}

void CutAfterLastBackslash(char* path) {
    char* last = strrchr(path, '\\');
    if (last) last[1] = '\0';
    else path[0] = '\0';
}

int DriveOfPath(const char* path) {
    while (*path == ' ') ++path;
    if (!*path) return -1;
    char c = *path;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return (c >= 'a' && c <= 'z') ? c - 'a' + 1 : 0;
}

long DayNumber(uint16_t dosDate) {
    long day = dosDate & 0x1F;
    long month = (dosDate >> 5) & 0x0F;
    long years = dosDate >> 9;
    return years * 365 + month * 30 + day;
}

long TimeValue(uint16_t dosTime) {
    long twoSeconds = dosTime & 0x1F;
    long minutes = (dosTime >> 5) & 0x3F;
    long hours = dosTime >> 11;
    return hours * 3600 + minutes * 60 + twoSeconds;
}

int StampNewer(DosStamp source, DosStamp target) {
    long sd = DayNumber(source.date), td = DayNumber(target.date);
    if (sd != td) return sd > td ? 1 : 0;
    return TimeValue(source.time) > TimeValue(target.time) ? 1 : 0;
}

uint32_t KilobytesFree(uint32_t clusters, uint32_t bytesPerSector, uint32_t sectorsPerCluster) {
    uint64_t bytes = uint64_t(clusters) * bytesPerSector * sectorsPerCluster;
    uint64_t kb = bytes / 1024;
    return kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kb);
}

void freespacestr(uint32_t kilobytes, char* out) {
    sprintf(out, "%lu.%03lu MB", static_cast<unsigned long>(kilobytes / 1000),
            static_cast<unsigned long>(kilobytes % 1000));
}

LZErrorReport MapLZError(int code) {
    switch (code) {
    case -1: return {-1, IDS_CANNOTOPEN, true, "Cannot open \"%s\""};
    case -4: return {-4, IDS_DISKFULL, true, "Disk full when copying \"%s\""};
    case -6: return {-5, IDS_NOMEMORY, false, "Insufficient memory"};
    default: return {-3, IDS_INTERNAL, false, "Internal error (%d)"};
    }
}

void FormatLZError(const char* format, const LZErrorReport& report, const char* name, char* out,
                   unsigned size) {
    if (report.takesName) snprintf(out, size, format, name ? name : "");
    else if (report.mapped == -3) snprintf(out, size, format, -3);
    else snprintf(out, size, "%s", format);
}
