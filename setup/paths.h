// The engine's rules over path strings, stamps and numbers: no Windows
// headers, so they are tested on their own.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "setup/resources/setup_ids.h"

// In place: a trailing backslash is added when missing and every character
// is lower-cased.  `path` holds at most 158 characters on entry.
void PreparePath(char* path);

// Cuts `path` just after its last backslash (the backslash stays); a path
// without one becomes empty.  Turns a module or picked file name into its
// directory.
void CutAfterLastBackslash(char* path);

// The drive a typed path names, as the free-space display reads it: after
// leading blanks, a letter a..z (either case) followed by ":" gives 1..26;
// anything else (a relative, rooted or network path) is on the current
// drive, 0; an empty or all-blank path gives -1.
int DriveOfPath(const char* path);

// In place: removes the blanks (spaces and tabs) before and after `path`.
void TrimBlanks(char* path);

// Whether `name` fits in a path buffer after `dir` once the directory is
// normalised (PreparePath adds a backslash when it has none).
bool PathFits(const char* dir, const char* name);

// Whether every row of the file table that installs into `dest` fits in a
// path buffer there: the check the plug-in dialog makes before anything is
// copied.
bool TargetsFit(const char* dest);

// Measures a text in the pixels of whatever will draw it.
using TextWidth = std::function<int(const std::string& text)>;

// `text` if it is at most `maxWidth` wide; otherwise the text with its middle
// replaced by "...": the part after the last backslash (the file name) is
// kept whole as long as it fits, and as much of the head as leaves room.
// A text without a backslash is cut in its middle.
std::string ShortenMiddle(const std::string& text, int maxWidth, const TextWidth& width);

// For a text that is wrapped at blanks: every blank-free run wider than
// `maxWidth` (a path cannot be wrapped) is shortened with ShortenMiddle.
std::string ShortenLongWords(const std::string& text, int maxWidth, const TextWidth& width);

// Packed MS-DOS stamps.  Date: day bits 0-4, month 5-8, years since 1980
// 9-15.  Time: seconds/2 bits 0-4, minutes 5-10, hours 11-15.
struct DosStamp {
    uint16_t date;
    uint16_t time;
};

// The coarse calendar of the newer-file test: years*365 + month*30 + day.
// The 31st of January and the 1st of February share a day number.
long DayNumber(uint16_t dosDate);
// hours*3600 + minutes*60 + the stored two-second count (not doubled).
long TimeValue(uint16_t dosTime);
// 1 if `source` counts as newer than `target`; equal stamps give 0.
int StampNewer(DosStamp source, DosStamp target);

// Kilobytes free from the drive's free-space figures, rounded toward zero.
// Computed in 64 bits and held at the largest value a 32-bit count can
// carry, so a big drive never wraps to a small or zero figure.
uint32_t KilobytesFree(uint32_t clusters, uint32_t bytesPerSector, uint32_t sectorsPerCluster);

// The megabyte text: "%d.%03d MB" of kilobytes/1000 and kilobytes%1000
// (1300 gives "1.300 MB").  `out` holds at least 32 characters.
void freespacestr(uint32_t kilobytes, char* out);

// How an LZ library error code is reported: the code it maps to, the
// string id of its message (IDS_CANNOTOPEN ...) and whether the message
// takes the file name.
struct LZErrorReport {
    int mapped;
    unsigned stringId;
    bool takesName;
    const char* text;  // the message as the string table has it, for a module without it
};
LZErrorReport MapLZError(int code);

// The alert text of an LZ error: `format` (the message string) filled with
// the file name, with -3 for the internal error, or used as it stands.
void FormatLZError(const char* format, const LZErrorReport& report, const char* name, char* out,
                   unsigned size);
