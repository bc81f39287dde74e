// Command line of lumora.exe: what the user asked for, checked but not acted
// upon. Every option is one row of one table (its name, whether it takes a
// value, the commands it belongs to and where it goes), so the parser, the
// help and the tests read the same list. Free of Win32 so that it can be
// tested on its own.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class Command { Help, List, Apply, About, Make, Export, Check, Fx };

// A rectangle in image coordinates as the user writes it: left, top, right,
// bottom, right and bottom exclusive.
struct UserArea {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

constexpr int kChannelCount = 4;  // red, green, blue, alpha
constexpr int kSliderCount = 8;
constexpr int kMapCount = 4;

struct Options {
    Command command = Command::Help;
    std::string pluginDir;  // --plugins DIR; empty: the plugins folder beside lumora.exe
    std::string filter;     // --filter NAME
    std::string from;       // --from PLUGIN.lmf (make, check, fx); export's PLUGIN.lmf
    std::string settings;   // apply --settings, check --file, make's SETTINGS, export's OUT.tfs

    // apply and fx: IN OUT, or IN... with --out-dir.
    std::vector<std::string> inputs;
    std::string output;            // also make's OUT.lmf
    std::string outDir;            // --out-dir DIR: many files
    std::string format;            // --format png|jpg|tif|bmp; empty: each input's own
    std::optional<UserArea> area;  // --area L,T,R,B; none: the whole image
    std::string maskFile;          // --mask FILE: a grey selection mask
    bool transparency = false;     // --transparency
    bool repeat = false;           // --repeat: no parameters call, no dialog
    bool quiet = false;            // --quiet: no progress bar, no lines on success
    bool time = false;             // --time: report the time spent in continue
    int32_t abortAtRow = -1;       // --abort-at-row N; -1: never

    // fx: EXPR, and the channels set on their own (--red ... --alpha).
    std::string expression;
    std::array<std::optional<std::string>, kChannelCount> channel;
    std::array<int32_t, kSliderCount> sliderValue{};  // --slider I=V
    std::array<bool, kSliderCount> sliderSet{};

    // check: the formulas to compile (or the four of --file).
    std::vector<std::string> formulas;

    // make
    std::string title, category;
    std::optional<std::string> copyright, author;
    std::array<std::optional<std::string>, kMapCount> mapLabel;        // --map I=LABEL
    std::array<std::optional<std::string>, kSliderCount> sliderLabel;  // --slider J=LABEL
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is usable
};

// args excludes the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// "L,T,R,B" with integers in the int16 range and L <= R, T <= B.
std::optional<UserArea> ParseArea(const std::string& text);

// Where an input's result goes with --out-dir: the folder, the input's name
// and the extension of `format` (png, jpg, tif, bmp) or else the input's own.
std::string OutputPathFor(const std::string& input, const std::string& outDir,
                          const std::string& format);

// One row of the option table.
using CommandSet = unsigned;
constexpr CommandSet CommandBit(Command c) { return 1u << unsigned(c); }
struct OptionRow {
    const char* name;
    bool takesValue;
    CommandSet commands;
    // Stores the value (or the flag) into the options; an error text, or empty.
    std::string (*store)(Options& options, const std::string& value);
};
std::span<const OptionRow> OptionTable();

// The command's word on the command line ("apply"), and back.
const char* CommandName(Command c);

extern const char kUsageText[];
