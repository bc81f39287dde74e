// FilterDefinition: the 8296-byte filter definition block, resource "PARM" 16.
//
// Texts are NUL-terminated ANSI strings in fixed slots; bytes after a
// terminator are leftovers and are carried along unchanged. The filter maker
// finds the block inside a plug-in file by its leading size value.
#pragma once
#include <cstddef>
#include <cstdint>

// The layout is a table: its columns stay aligned.
// clang-format off

struct FilterDefinition {
    int32_t size;              //    0 always 8296
    int32_t madeFilter;        //    4 0: editor at start; else made-filter dialog
    int32_t sliderValue[8];    //    8 0..255
    int32_t hasDialog;         //   40 a made filter shows its dialog; menu name ends in "..."
    int32_t reserved[3];       //   44 carried unchanged
    int32_t mapShown[4];       //   56
    int32_t sliderShown[8];    //   72
    char    category[256];     //  104
    char    title[256];        //  360
    char    copyright[256];    //  616
    char    author[256];       //  872
    char    mapLabel[4][256];  // 1128
    char    sliderLabel[8][256]; // 2152
    char    formula[4][1024];  // 4200 red, green, blue, alpha
};

constexpr int32_t kDefinitionSize = 8296;
constexpr int kFormulaCapacity = 1024;

#define DEF_AT(field, off) static_assert(offsetof(FilterDefinition, field) == (off), #field)
DEF_AT(size, 0);        DEF_AT(madeFilter, 4);  DEF_AT(sliderValue, 8); DEF_AT(hasDialog, 40);
DEF_AT(reserved, 44);   DEF_AT(mapShown, 56);   DEF_AT(sliderShown, 72); DEF_AT(category, 104);
DEF_AT(title, 360);     DEF_AT(copyright, 616); DEF_AT(author, 872);    DEF_AT(mapLabel, 1128);
DEF_AT(sliderLabel, 2152); DEF_AT(formula, 4200);
#undef DEF_AT
static_assert(sizeof(FilterDefinition) == kDefinitionSize, "FilterDefinition is 8296 bytes");
// clang-format on
