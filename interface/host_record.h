// HostRecord: the host's parameter record, owned by the host and valid only
// during one call. We touch only the fields below, by their byte offsets;
// the host's record holds more, which we never look at.
//
// Areas are four int16 in the order top, left, bottom, right. Every callback
// is cdecl; the abort test answers in one byte, advance state in 16 bits.
#pragma once
#include <cstddef>
#include <cstdint>

// The layout is a table: its columns stay aligned.
// clang-format off

#ifndef __cdecl
#define __cdecl __attribute__((__cdecl__))
#endif

struct HostArea {
    int16_t top, left, bottom, right;
};

// Pixel map handed to the display-pixels callback by the preview.
struct HostMaskDescription {
    HostMaskDescription* next;
    void*   maskData;
    int32_t rowBytes;
    int32_t colBytes;
    int32_t maskDescription;
};

struct HostPixelMap {
    int32_t version;                 // 1
    int32_t top, left, bottom, right;// bounds
    int32_t imageMode;
    int32_t rowBytes;
    int32_t colBytes;
    int32_t planeBytes;
    void*   baseAddr;
    void*   colorMatrix;             // none
    HostMaskDescription* masks;      // a mask description or none
    int32_t maskPhaseRow;
    int32_t maskPhaseCol;
};

struct HostRect32 {
    int32_t top, left, bottom, right;
};

using HostAbortProc    = uint8_t (__cdecl*)();
using HostProgressProc = void (__cdecl*)(int32_t done, int32_t total);
using HostAdvanceProc  = int16_t (__cdecl*)();
using HostDisplayProc  = int16_t (__cdecl*)(const HostPixelMap* source, const HostRect32* srcRect,
                                            int32_t dstRow, int32_t dstCol, void* dc);

// The platform data's first field is the host's main window.
struct HostPlatformData {
    void* mainWindow;
};

struct HostRecord {
    HostPlatformData* aboutPlatform;  //   0 about selector only
    HostAbortProc    abortProc;       //   4
    HostProgressProc progressProc;    //   8
    uint8_t  unused12[8];             //  12
    int16_t  planes;                  //  20 number of planes of the image
    HostArea filterArea;              //  22 the part of the image to filter
    uint8_t  unused30[18];            //  30
    int32_t  bufferSpace;             //  48 written at prepare
    HostArea inArea;                  //  52 requested input area
    int16_t  inLoPlane;               //  60
    int16_t  inHiPlane;               //  62
    HostArea outArea;                 //  64 requested output area
    int16_t  outLoPlane;              //  72
    int16_t  outHiPlane;              //  74
    uint8_t* inData;                  //  76 planes interleaved per pixel
    int32_t  inRowBytes;              //  80
    uint8_t* outData;                 //  84
    int32_t  outRowBytes;             //  88
    uint8_t  isFloating;              //  92
    uint8_t  haveMask;                //  93
    uint8_t  unused94[2];             //  94
    HostArea maskArea;                //  96
    uint8_t* maskData;                // 104
    int32_t  maskRowBytes;            // 108
    uint8_t  unused112[16];           // 112
    int16_t  imageMode;               // 128
    uint8_t  unused130[58];           // 130
    HostPlatformData* platformData;   // 188
    uint8_t  unused192[12];           // 192
    HostDisplayProc displayPixels;    // 204
    uint8_t  unused208[16];           // 208
    HostAdvanceProc advanceState;     // 224
    uint8_t  unused228[10];           // 228
    int16_t  inputPadding;            // 238
    int16_t  outputPadding;           // 240
    int16_t  maskPadding;             // 242
    uint8_t  unused244[4];            // 244
    int32_t  inputRate;               // 248 16.16
    int32_t  maskRate;                // 252 16.16
    uint8_t  unused256[4];            // 256
    int16_t  inLayerPlanes;           // 260
    int16_t  inTransparentIndex;      // 262 nonzero: the input carries transparency
    uint8_t  unused264[8];            // 264
    int16_t  outTransparentIndex;     // 272 nonzero: the output carries transparency
    uint8_t  unused274[238];          // 274 the host's own fields
};

#if UINTPTR_MAX == 0xFFFFFFFFu
#define HOST_AT(field, off) static_assert(offsetof(HostRecord, field) == (off), #field)
HOST_AT(aboutPlatform, 0);   HOST_AT(abortProc, 4);     HOST_AT(progressProc, 8);
HOST_AT(planes, 20);         HOST_AT(filterArea, 22);   HOST_AT(bufferSpace, 48);
HOST_AT(inArea, 52);         HOST_AT(inLoPlane, 60);    HOST_AT(inHiPlane, 62);
HOST_AT(outArea, 64);        HOST_AT(outLoPlane, 72);   HOST_AT(outHiPlane, 74);
HOST_AT(inData, 76);         HOST_AT(inRowBytes, 80);   HOST_AT(outData, 84);
HOST_AT(outRowBytes, 88);    HOST_AT(isFloating, 92);   HOST_AT(haveMask, 93);
HOST_AT(maskArea, 96);       HOST_AT(maskData, 104);    HOST_AT(maskRowBytes, 108);
HOST_AT(imageMode, 128);     HOST_AT(platformData, 188); HOST_AT(displayPixels, 204);
HOST_AT(advanceState, 224);  HOST_AT(inputPadding, 238); HOST_AT(outputPadding, 240);
HOST_AT(maskPadding, 242);   HOST_AT(inputRate, 248);   HOST_AT(maskRate, 252);
HOST_AT(inLayerPlanes, 260); HOST_AT(inTransparentIndex, 262);
HOST_AT(outTransparentIndex, 272);
#undef HOST_AT
static_assert(sizeof(HostRecord) == 512, "the stand-in host hands out 512-byte records");
#endif

// Result codes written to the host's 16-bit result.
constexpr int16_t kResultOk          = 0;
constexpr int16_t kResultCancelled   = 1;
constexpr int16_t kResultOutOfMemory = -108;
constexpr int16_t kResultBadSelector = -30100;

enum Selector : int16_t {
    kSelectorAbout = 0, kSelectorParameters = 1, kSelectorPrepare = 2,
    kSelectorStart = 3, kSelectorContinue = 4, kSelectorFinish = 5,
};

// The single export the host calls.
using PluginEntryProc = void (__cdecl*)(int32_t selector, HostRecord* record,
                                         intptr_t* data, int16_t* result);
// clang-format on
