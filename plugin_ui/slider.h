// The Slider window class: a thin track with a triangular thumb that the
// user drags with the mouse. It maps a value range onto pixel positions and
// tells its parent what happens during a drag through the registered message
// "LMSlCmd": wParam = the slider's control id, lParam = (code << 16) | value.
//
// Each window keeps a 48-byte SliderData in movable global memory whose
// handle lives in the window property "LMSlData". The operations below are
// available as direct calls and as the messages WM_USER+200 .. WM_USER+207.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

struct SliderData;

// Drawing routines get the window, the (memory) device context to draw on
// and the locked SliderData.
using SliderDrawProc = void (*)(HWND window, HDC dc, SliderData* data);

struct SliderData {
    HWND window;               //  0 the slider window itself
    int32_t vertical;          //  4 1 when style bit 0x1000 is set
    int32_t minimum;           //  8
    int32_t maximum;           // 12
    int32_t thumbPos;          // 16 pixel coordinate of the thumb's tip along the track
    int32_t value;             // 20
    int32_t baseline;          // 24 pixel coordinate across the track of the tip
    uint32_t thumbSize;        // 28 low 16 bits width, high 16 bits height
    int32_t options;           // 32 no operation sets them
    int32_t userValue;         // 36 kept for the parent, never read here
    SliderDrawProc drawThumb;  // 40
    SliderDrawProc drawTrack;  // 44
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(SliderData) == 48, "SliderData is a 48-byte block");
static_assert(offsetof(SliderData, drawThumb) == 40 && offsetof(SliderData, drawTrack) == 44);
#endif

constexpr DWORD kSliderVertical = 0x1000;  // window style bit

// Messages (WM_USER = 0x0400).
enum SliderMessage : UINT {
    SliderSetDrawRoutine = WM_USER + 200,  // wParam 0 thumb, else track; lParam routine
    SliderSetUserValue = WM_USER + 201,    // lParam value
    SliderSetThumbSize = WM_USER + 202,    // lParam low 16 width, high 16 height
    SliderSetBaseline = WM_USER + 203,     // wParam low 16 signed; -1: below the track
    SliderSetValueMsg = WM_USER + 204,     // wParam value, redrawn
    SliderGet = WM_USER + 205,             // wParam nonzero: thumbPos, 0: value
    SliderGetRangeMsg = WM_USER + 206,     // (maximum << 16) | (minimum & 0xFFFF)
    SliderSetRangeMsg = WM_USER + 207,     // lParam low 16 minimum, high 16 maximum
};

// Notification codes, in the high 16 bits of lParam.
enum SliderCode : int {
    SliderMoving = 0x7FFB,      // the thumb moved during a drag
    SliderReleased = 0x7FFC,    // the button was released; final value
    SliderHeldRepeat = 0x7FFD,  // every further 250 ms on the same position
    SliderHeld = 0x7FFE,        // first pause of more than 250 ms
};

// Registers "LMSlCmd" (once per process) and the class "Slider". False when
// the class cannot be registered; otherwise passes out the message id and
// answers whether it is nonzero.
bool RegisterSliderClass(HINSTANCE module, UINT* message);
void UnregisterSliderClass(HINSTANCE module);

// The registered notification message, 0 before the first registration.
UINT SliderNotifyMessage();

// Direct calls.
void SliderSetRange(HWND slider, int minimum, int maximum);
void SliderSetValue(HWND slider, int value, bool redraw);
int SliderGetValue(HWND slider);
int SliderGetPosition(HWND slider);
uint32_t SliderGetRange(HWND slider);

// Pure geometry of one slider, shared with the tests.
int SliderTrackLength(const SliderData& d, const RECT& client);
int SliderPositionFromValue(const SliderData& d, const RECT& client, int value);
int SliderValueFromPosition(const SliderData& d, const RECT& client, int position);
RECT SliderThumbRect(const SliderData& d);
