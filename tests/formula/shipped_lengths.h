// The OPER rows as the plug-in has always shipped them: names, order and
// code lengths, written down from the template format's own list and never
// read from our resource. The compile tests and the reference evaluator
// count code bytes with these, so a template whose length drifts shows up as
// a different code size, overflow or reported range.
#pragma once
#include <cstring>

namespace shipped {

struct Row {
    const char* name;
    int length;
};

inline constexpr Row kRows[] = {
    {"error", 3}, {"prolog", 8}, {"epilog", 6}, {"number", 1}, {",", 1},    {"?", 11},
    {"!", 9},     {"&&", 19},    {"||", 19},    {"~", 4},      {"&", 5},    {"|", 5},
    {"^", 5},     {"==", 13},    {"!=", 13},    {"<", 13},     {"<=", 13},  {">", 13},
    {">=", 13},   {"<<", 5},     {">>", 5},     {"negate", 4}, {"+", 5},    {"-", 5},
    {"*", 6},     {"/", 14},     {"%", 14},     {"r", 3},      {"g", 4},    {"b", 4},
    {"a", 4},     {"c", 10},     {"i", 55},     {"u", 51},     {"v", 39},   {"d", 117},
    {"m", 77},    {"R", 6},      {"G", 6},      {"B", 6},      {"A", 6},    {"I", 6},
    {"U", 6},     {"V", 6},      {"C", 6},      {"D", 6},      {"M", 49},   {"x", 4},
    {"y", 4},     {"z", 4},      {"X", 4},      {"Y", 4},      {"Z", 4},    {"min", 9},
    {"max", 9},   {"abs", 7},    {"add", 12},   {"sub", 12},   {"dif", 10}, {"mix", 32},
    {"scl", 39},  {"sqr", 31},   {"rnd", 76},   {"ctl", 17},   {"val", 34}, {"map", 48},
    {"src", 109}, {"cnv", 193},  {"rad", 158},  {"c2d", 97},   {"c2m", 57}, {"r2x", 31},
    {"r2y", 37},  {"sin", 32},   {"cos", 27},   {"tan", 60},   {"get", 20}, {"put", 21},
};
inline constexpr int kRowCount = int(sizeof kRows / sizeof kRows[0]);
inline constexpr unsigned kResourceBytes = 2691;

// The shipped code length of template `name`, or -1 when there is none.
inline int Length(const char* name) {
    for (const Row& row : kRows)
        if (std::strcmp(row.name, name) == 0) return row.length;
    return -1;
}

}  // namespace shipped
