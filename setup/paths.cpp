#include "setup/paths.h"

#include <cstdio>
#include <cstring>

#include "setup/filetable.h"

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
    return (c >= 'a' && c <= 'z' && path[1] == ':') ? c - 'a' + 1 : 0;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void TrimBlanks(char* path) {
    size_t start = 0, end = strlen(path);
    while (start < end && IsBlank(path[start])) ++start;
    while (end > start && IsBlank(path[end - 1])) --end;
    memmove(path, path + start, end - start);
    path[end - start] = '\0';
}

bool PathFits(const char* dir, const char* name) {
    size_t n = strlen(dir);
    size_t separator = (n == 0 || dir[n - 1] != '\\') ? 1 : 0;
    return n + separator + strlen(name) <= static_cast<size_t>(kPathMax);
}

bool TargetsFit(const char* dest) {
    for (const CopyEntry& row : gCopy)
        if (!row.fSystemDir && !PathFits(dest, row.pszTarget)) return false;
    return true;
}

std::string ShortenMiddle(const std::string& text, int maxWidth, const TextWidth& width) {
    if (width(text) <= maxWidth) return text;
    size_t cut = text.rfind('\\');
    bool keepTail = cut != std::string::npos && cut > 0;
    if (!keepTail) cut = text.size() / 2;
    std::string head = text.substr(0, cut), tail = text.substr(cut);
    while (head.size() + tail.size() > 1 && width(head + "..." + tail) > maxWidth) {
        // A file name gives way only once the head is gone; any other text
        // loses its longer side.
        bool fromHead = keepTail ? !head.empty() : head.size() >= tail.size();
        if (fromHead) head.pop_back();
        else tail.erase(0, 1);
    }
    return head + "..." + tail;
}

std::string ShortenLongWords(const std::string& text, int maxWidth, const TextWidth& width) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = i;
        if (text[i] == ' ') {
            while (end < text.size() && text[end] == ' ') ++end;
            out += text.substr(i, end - i);
        } else {
            while (end < text.size() && text[end] != ' ') ++end;
            out += ShortenMiddle(text.substr(i, end - i), maxWidth, width);
        }
        i = end;
    }
    return out;
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
