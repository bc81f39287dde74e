// PluginState: the plug-in's 26168-byte working block.
//
// The host keeps its address in the data handle between calls; the block is
// allocated zero-filled on the first call and never freed by us. Compiled
// formulas get its address as their only argument and read the leading part
// (the PixelContext, offsets 0 .. 0x45BF) by these very offsets, so every
// offset here is part of the format and is checked below.
#pragma once
#include <cstddef>
#include <cstdint>

// The layout is a table: its columns stay aligned.
// clang-format off

struct FilterDefinition;

struct PluginState {
    // ---- PixelContext: read by compiled code ----
    int32_t  planeValue[16];      // 0x0000 current pixel's planes (r, g, b, a)
    int32_t  x;                   // 0x0040 current column within the pass area
    int32_t  xStart;              // 0x0044 always 0
    int32_t  xEnd;                // 0x0048 width of the pass area
    int32_t  y;                   // 0x004C current row
    int32_t  yStart;              // 0x0050 always 0
    int32_t  yEnd;                // 0x0054 height of the pass area
    int32_t  z;                   // 0x0058 current plane
    int32_t  zStart;              // 0x005C always 0
    int32_t  zEnd;                // 0x0060 planes processed (3 or 4)
    int32_t  slider[8];           // 0x0064 slider values of the pass
    int32_t  areaLeft;            // 0x0084 host input area, image coordinates
    int32_t  areaTop;             // 0x0088
    int32_t  areaRight;           // 0x008C
    int32_t  areaBottom;          // 0x0090
    int16_t  randIndexA;          // 0x0094 0 after set-up
    int16_t  randIndexB;          // 0x0096 31 after set-up
    int32_t  randTable[56];       // 0x0098 entries 1..55 hold the state
    uint8_t  mapTable[4][256];    // 0x0178 the four maps
    int16_t  sineTable[1024];     // 0x0578
    uint16_t arctanTable[1024];   // 0x0D78
    uint16_t magnitudeTable[1024];// 0x1578
    uint8_t  reserved1[6144];     // 0x1D78 stays zero
    int32_t  cell[256];           // 0x3578 put/get cells
    uint8_t  reserved2[3112];     // 0x3978 stays zero
    int32_t  inRowBytes;          // 0x45A0
    int32_t  outRowBytes;         // 0x45A4
    uint8_t* inBase;              // 0x45A8 top-left pixel of the area, plane zStart
    uint8_t* outBase;             // 0x45AC
    uint8_t* inRow;               // 0x45B0 running pointers of the pass
    uint8_t* outRow;              // 0x45B4
    uint8_t* inPixel;             // 0x45B8
    uint8_t* outPixel;            // 0x45BC
    // ---- the rest is ours ----
    int32_t  dialogRequested;     // 0x45C0 set by parameters, consumed by start
    int32_t  formulasEdited;      // 0x45C4 editor: a formula text changed
    int32_t  compileFailed[4];    // 0x45C8 per channel
    int32_t  errorStart[4];       // 0x45D8 per channel: error range to select
    int32_t  errorEnd[4];         // 0x45E8
    int32_t  codeSize[4];         // 0x45F8 bytes of code produced
    uint8_t  code[4][2048];       // 0x4608 compiled routines: red, green, blue, alpha
    FilterDefinition* definition; // 0x6608 null until loaded
    FilterDefinition* makerCopy;  // 0x660C the filter maker's copy, else null
    void*    dialogWindow;        // 0x6610 HWND of the open dialog, else null
    char     makeFileName[32];    // 0x6614 file name typed in the filter maker
    uint8_t  reserved3[4];        // 0x6634 stays zero
};

// The PixelContext ends where the plug-in's private fields start.
constexpr std::size_t kPixelContextSize = 0x45C0;
constexpr int kCodeCapacity = 2048;

#if UINTPTR_MAX == 0xFFFFFFFFu
#define STATE_AT(field, off) static_assert(offsetof(PluginState, field) == (off), #field)
STATE_AT(planeValue, 0x0000);   STATE_AT(x, 0x0040);        STATE_AT(xStart, 0x0044);
STATE_AT(xEnd, 0x0048);         STATE_AT(y, 0x004C);        STATE_AT(yStart, 0x0050);
STATE_AT(yEnd, 0x0054);         STATE_AT(z, 0x0058);        STATE_AT(zStart, 0x005C);
STATE_AT(zEnd, 0x0060);         STATE_AT(slider, 0x0064);   STATE_AT(areaLeft, 0x0084);
STATE_AT(areaTop, 0x0088);      STATE_AT(areaRight, 0x008C); STATE_AT(areaBottom, 0x0090);
STATE_AT(randIndexA, 0x0094);   STATE_AT(randIndexB, 0x0096); STATE_AT(randTable, 0x0098);
STATE_AT(mapTable, 0x0178);     STATE_AT(sineTable, 0x0578); STATE_AT(arctanTable, 0x0D78);
STATE_AT(magnitudeTable, 0x1578); STATE_AT(reserved1, 0x1D78); STATE_AT(cell, 0x3578);
STATE_AT(reserved2, 0x3978);    STATE_AT(inRowBytes, 0x45A0); STATE_AT(outRowBytes, 0x45A4);
STATE_AT(inBase, 0x45A8);       STATE_AT(outBase, 0x45AC);  STATE_AT(inRow, 0x45B0);
STATE_AT(outRow, 0x45B4);       STATE_AT(inPixel, 0x45B8);  STATE_AT(outPixel, 0x45BC);
STATE_AT(dialogRequested, 0x45C0); STATE_AT(formulasEdited, 0x45C4);
STATE_AT(compileFailed, 0x45C8); STATE_AT(errorStart, 0x45D8); STATE_AT(errorEnd, 0x45E8);
STATE_AT(codeSize, 0x45F8);     STATE_AT(code, 0x4608);     STATE_AT(definition, 0x6608);
STATE_AT(makerCopy, 0x660C);    STATE_AT(dialogWindow, 0x6610); STATE_AT(makeFileName, 0x6614);
STATE_AT(reserved3, 0x6634);
#undef STATE_AT
static_assert(sizeof(PluginState) == 26168, "PluginState is 26168 bytes");
#endif
// clang-format on
