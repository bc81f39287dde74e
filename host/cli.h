// Command line of lumora.exe: what the user asked for, checked but not acted
// upon. Free of Win32 so that it can be tested on its own.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Command { Help, List, Apply, About };

// A rectangle in image coordinates as the user writes it: left, top, right,
// bottom, right and bottom exclusive.
struct UserArea {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Options {
    Command command = Command::Help;
    std::string pluginDir;         // empty: the plugins folder beside lumora.exe
    std::string filter;            // --filter NAME
    std::string input, output;     // apply IN OUT
    std::optional<UserArea> area;  // --area L,T,R,B; none: the whole image
    std::string maskFile;          // --mask FILE: a grey selection mask
    bool transparency = false;     // --transparency
    bool repeat = false;           // --repeat: no parameters call, no dialog
    bool quiet = false;            // --quiet: no progress bar
    bool time = false;             // --time: report the time spent in continue
    int32_t abortAtRow = -1;       // --abort-at-row N; -1: never
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is usable
};

// args excludes the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// "L,T,R,B" with integers in the int16 range and L <= R, T <= B.
std::optional<UserArea> ParseArea(const std::string& text);

extern const char kUsageText[];
