// A plug-in whose behaviour the host's tests control. It follows the host
// protocol like a real filter and inverts every requested plane of the
// requested area, walking rows through the host's strides, asking the abort
// test and reporting progress every tenth row.
//
// LUMORA_TEST_MODE holds comma-separated words:
//   fail=S:CODE  selector S answers CODE and does nothing else
//   crash=S      selector S writes through a null pointer
//   overrun      continue also writes the byte after every output row
//   wide         start requests the filter area grown by 3 on every side
//   bands=N      start requests the first N rows; each continue requests the next band
//   sample       start takes a half-size sample through advance state, draws it
//                through display pixels, and continue copies it, uninverted,
//                into the top-left corner of the output
//   dialog       a start after parameters opens dialog 100, owned by the host's
//                window: it takes a sample reduced to fit a 64 x 48 preview
//                through advance state (as the editor does), inverts it in the
//                output buffer and draws it through display pixels at client
//                (10, 10) on every paint; OK applies, Cancel cancels
//   badrate      the dialog's sample asks for a rate of 0, which the host refuses
//   strict       start sets the padding modes to "refuse areas outside the image"
//   keeprate     start leaves the input rate at 2.0, as if a preview forgot it
//   masksample   start asks for the selection mask of the filter area at rate 2
//                and logs the first two mask samples
//
// The working block lives in locked movable global memory, as the real
// filter's does, and is freed by the host when its session ends.
// LUMORA_TEST_LOG names a file that gets one line per observation.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "interface/host_record.h"
#include "tests/host/testplug/test_dialog.h"

void Log(const char* format, ...) {
    char path[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("LUMORA_TEST_LOG", path, sizeof path)) return;
    FILE* f = std::fopen(path, "a");
    if (!f) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

namespace {

struct Mode {
    int failSelector = -1000;
    int failCode = 0;
    int crashSelector = -1000;
    bool wide = false;
    bool overrun = false;
    int bands = 0;
    bool sample = false;
    bool dialog = false;
    bool badRate = false;
    bool strict = false;
    bool keepRate = false;
    bool maskSample = false;
};

constexpr int kSampleBytes = 1 << 16;

// Plain data: the host frees the block without running any destructor.
struct TestState {
    int calls;
    int nextBandTop;
    bool dialogWanted;
    int sampleWidth, sampleHeight, samplePlanes;
    uint8_t sample[kSampleBytes];
};

Mode ReadMode() {
    Mode m;
    char text[512] = "";
    GetEnvironmentVariableA("LUMORA_TEST_MODE", text, sizeof text);
    for (char* word = std::strtok(text, ","); word; word = std::strtok(nullptr, ",")) {
        if (std::strncmp(word, "fail=", 5) == 0)
            std::sscanf(word + 5, "%d:%d", &m.failSelector, &m.failCode);
        else if (std::strncmp(word, "crash=", 6) == 0) m.crashSelector = std::atoi(word + 6);
        else if (std::strcmp(word, "wide") == 0) m.wide = true;
        else if (std::strcmp(word, "overrun") == 0) m.overrun = true;
        else if (std::strncmp(word, "bands=", 6) == 0) m.bands = std::atoi(word + 6);
        else if (std::strcmp(word, "sample") == 0) m.sample = true;
        else if (std::strcmp(word, "dialog") == 0) m.dialog = true;
        else if (std::strcmp(word, "badrate") == 0) m.badRate = true;
        else if (std::strcmp(word, "strict") == 0) m.strict = true;
        else if (std::strcmp(word, "keeprate") == 0) m.keepRate = true;
        else if (std::strcmp(word, "masksample") == 0) m.maskSample = true;
    }
    return m;
}

void Invert(HostRecord* r, bool overrun) {
    int width = r->inArea.right - r->inArea.left, height = r->inArea.bottom - r->inArea.top;
    int planes = r->inHiPlane - r->inLoPlane + 1;
    Log("continue in=%d,%d,%d,%d out=%d,%d,%d,%d planes=%d..%d instride=%d outstride=%d used=%d",
        r->inArea.top, r->inArea.left, r->inArea.bottom, r->inArea.right, r->outArea.top,
        r->outArea.left, r->outArea.bottom, r->outArea.right, r->inLoPlane, r->inHiPlane,
        r->inRowBytes, r->outRowBytes, width * planes);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = r->inData + y * r->inRowBytes;
        uint8_t* out = r->outData + y * r->outRowBytes;
        for (int i = 0; i < width * planes; ++i) out[i] = uint8_t(255 - in[i]);
        if (overrun) out[width * planes] = 0;  // the bug of a plug-in that assumes packed rows
    }
}

// Rows are walked like the real filter, so abort and progress come every tenth row.
bool WalkRows(HostRecord* r) {
    int height = r->inArea.bottom - r->inArea.top;
    for (int y = 0; y < height; ++y) {
        if (y % 10 == 0) {
            if (r->abortProc()) {
                Log("aborted at row %d", y);
                return false;
            }
            r->progressProc(y, height);
        }
    }
    return true;
}

void TakeSample(HostRecord* r, TestState& s) {
    HostArea half{int16_t(r->filterArea.top / 2), int16_t(r->filterArea.left / 2),
                  int16_t(r->filterArea.bottom / 2), int16_t(r->filterArea.right / 2)};
    r->inArea = r->outArea = half;
    r->inputRate = 2 << 16;
    int16_t advanced = r->advanceState();
    r->inputRate = 1 << 16;
    s.sampleWidth = half.right - half.left;
    s.sampleHeight = half.bottom - half.top;
    s.samplePlanes = r->outHiPlane - r->outLoPlane + 1;
    Log("sample advance=%d size=%dx%d", advanced, s.sampleWidth, s.sampleHeight);
    if (advanced != 0 || !r->inData) return;
    if (s.sampleWidth * s.sampleHeight * s.samplePlanes > kSampleBytes) return;
    for (int y = 0; y < s.sampleHeight; ++y)
        std::memcpy(&s.sample[size_t(y) * s.sampleWidth * s.samplePlanes],
                    r->inData + y * r->inRowBytes, size_t(s.sampleWidth) * s.samplePlanes);

    // Draw the sample's output buffer into a memory bitmap and compare.
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), s.sampleWidth, -s.sampleHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HostPixelMap map{};
    map.version = 1;
    map.top = half.top;
    map.left = half.left;
    map.bottom = half.bottom;
    map.right = half.right;
    map.imageMode = r->imageMode;
    map.rowBytes = r->outRowBytes;
    map.colBytes = s.samplePlanes;
    map.planeBytes = 1;
    map.baseAddr = r->outData;
    HostRect32 rect{map.top, map.left, map.bottom, map.right};
    int16_t shown = r->displayPixels(&map, &rect, 0, 0, dc);
    GdiFlush();
    int mismatches = 0;
    for (int y = 0; y < s.sampleHeight; ++y)
        for (int x = 0; x < s.sampleWidth; ++x) {
            uint32_t px = static_cast<uint32_t*>(bits)[y * s.sampleWidth + x];
            const uint8_t* o = r->outData + y * r->outRowBytes + x * s.samplePlanes;
            if ((px >> 16 & 255) != o[0] || (px >> 8 & 255) != o[1] || (px & 255) != o[2])
                ++mismatches;
        }
    Log("display result=%d mismatches=%d", shown, mismatches);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void PasteSample(HostRecord* r, const TestState& s) {
    for (int y = 0; y < s.sampleHeight && y < r->outArea.bottom - r->outArea.top; ++y)
        std::memcpy(r->outData + y * r->outRowBytes,
                    &s.sample[size_t(y) * s.sampleWidth * s.samplePlanes],
                    size_t(s.sampleWidth) * s.samplePlanes);
}

void TakeMaskSample(HostRecord* r) {
    const HostArea& f = r->filterArea;
    r->maskArea = HostArea{int16_t(f.top / 2), int16_t(f.left / 2), int16_t(f.bottom / 2),
                           int16_t(f.right / 2)};
    r->maskRate = 2 << 16;
    r->maskPadding = -1;
    int16_t advanced = r->advanceState();
    const uint8_t* mask = r->maskData;
    Log("mask advance=%d samples=%d,%d", advanced, mask ? mask[0] : -1, mask ? mask[1] : -1);
    r->maskArea = HostArea{};
    r->maskRate = 1 << 16;
    r->maskPadding = -3;
}

int16_t Start(HostRecord* r, TestState& s, const Mode& m) {
    if (m.sample) TakeSample(r, s);
    if (m.maskSample) TakeMaskSample(r);
    bool wanted = s.dialogWanted;
    s.dialogWanted = false;
    if (m.dialog && wanted && !RunTestDialog(r, m.badRate)) return 1;
    HostArea a = r->filterArea;
    if (m.wide) {
        a.top -= 3;
        a.left -= 3;
        a.bottom += 3;
        a.right += 3;
    }
    if (m.bands > 0) {
        s.nextBandTop = a.top + m.bands;
        if (a.bottom > s.nextBandTop) a.bottom = int16_t(s.nextBandTop);
    }
    r->inArea = r->outArea = a;
    if (m.strict) r->inputPadding = r->outputPadding = -3;
    if (m.keepRate) r->inputRate = 2 << 16;
    return 0;
}

int16_t Continue(HostRecord* r, TestState& s, const Mode& m) {
    Invert(r, m.overrun);
    if (m.sample) PasteSample(r, s);
    bool completed = WalkRows(r);
    if (completed && m.bands > 0 && s.nextBandTop < r->filterArea.bottom) {
        r->inArea.top = r->outArea.top = int16_t(s.nextBandTop);
        s.nextBandTop += m.bands;
        int16_t bottom =
            int16_t(s.nextBandTop < r->filterArea.bottom ? s.nextBandTop : r->filterArea.bottom);
        r->inArea.bottom = r->outArea.bottom = bottom;
        return 0;
    }
    r->inArea = r->outArea = HostArea{};
    return completed ? 0 : 1;
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl LumoraTestEntry(int32_t selector, HostRecord* r,
                                                              intptr_t* data, int16_t* result) {
    static TestState* first = nullptr;
    if (*data == 0) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(TestState));
        first = block ? static_cast<TestState*>(GlobalLock(block)) : nullptr;
        if (!first) {
            *result = -108;
            return;
        }
        *data = reinterpret_cast<intptr_t>(first);
    }
    auto* s = reinterpret_cast<TestState*>(*data);
    Mode m = ReadMode();
    int16_t sel = int16_t(selector);
    HostPlatformData* platform = sel == 0 ? r->aboutPlatform : r->platformData;
    Log("selector %d handle=%s window=%s", sel, s == first ? "kept" : "lost",
        platform && IsWindow(static_cast<HWND>(platform->mainWindow)) ? "yes" : "no");
    ++s->calls;
    if (sel == m.crashSelector) *static_cast<volatile int*>(nullptr) = 1;
    if (sel == m.failSelector) {
        *result = int16_t(m.failCode);
        return;
    }
    int16_t code = 0;
    switch (sel) {
    case 0: break;
    case 1: s->dialogWanted = true; break;
    case 2:
        // Asks for transparency exactly when the real filter would.
        r->inLoPlane = r->outLoPlane = 0;
        r->inHiPlane = r->outHiPlane =
            (r->inLayerPlanes && r->inTransparentIndex && r->outTransparentIndex) ? 3 : 2;
        Log("prepare planes=%d mode=%d rate=%d", r->planes, r->imageMode, r->inputRate);
        break;
    case 3: code = Start(r, *s, m); break;
    case 4: code = Continue(r, *s, m); break;
    case 5: break;
    default: code = -30100; break;
    }
    *result = code;
}

#ifdef FAIL_LOAD
// The "FailLoad" variant refuses to be loaded at all.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    return reason != DLL_PROCESS_ATTACH;
}
#endif
