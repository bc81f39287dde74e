// tinctor_preview_bench: how long the editor's preview and recompilation take.
//
//   tinctor_preview_bench [--rounds N]      (needs a display: it opens the editor)
//
// Opens the real editor dialog (IDD_EDITOR, TinctorDlgProc) modeless over
// an in-process host whose filter area is exactly the preview area, so the
// sample is the largest one a preview ever shows (reduction factor 1). Then,
// best and median of N rounds:
//   redraw   DrawPreview: PrepareRun, the preview pass over the sample and
//            the host's display-pixels call (a DIB copy into the dialog)
//   pass     PrepareRun and RunFilter in preview mode alone
//   host-pass  the same pass in host mode (no queue check per row), to show
//            what the preview's per-row look at the message queue costs
// for every formula of the benchmark set, and
//   recompile  the timer's work for four formulas of 1023 characters:
//              ReadFormulas from the fields and CompileChannelFormulas,
//              with sparse formulas that fit and dense ones that fill the
//              code buffers
// Lines are "key name best median" in milliseconds.
#include <windows.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "bench/formulas.h"
#include "host/display.h"
#include "plugin/core/area.h"
#include "plugin/core/plugin.h"
#include "plugin_ui/slider.h"
#include "plugin_ui/ui.h"

extern "C" INT_PTR CALLBACK TinctorDlgProc(HWND, UINT, WPARAM, LPARAM);

namespace {

HostRecord gRecord;
HostPlatformData gPlatform;

uint8_t __cdecl NeverAbort() { return 0; }
void __cdecl NoProgress(int32_t, int32_t) {}
std::vector<uint8_t> gIn, gOut;

// Fills the requested area from a smooth test picture, at the requested rate.
int16_t __cdecl AdvanceState() {
    const HostArea a = gRecord.inArea;
    const int w = a.right - a.left, h = a.bottom - a.top, planes = 3;
    const int rate = gRecord.inputRate >> 16;
    gRecord.inRowBytes = gRecord.outRowBytes = w * planes;
    gIn.assign(size_t(w) * h * planes + 1, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int p = 0; p < planes; ++p)
                gIn[(size_t(y) * w + x) * planes + p] =
                    uint8_t((x * rate * (p + 1) + y * rate * 3) & 255);
    gOut = gIn;
    gRecord.inData = gIn.data();
    gRecord.outData = gOut.data();
    return 0;
}

struct Timing {
    double best, median;
};

template <class Fn>
Timing Measure(int rounds, Fn fn) {
    std::vector<double> t;
    for (int i = 0; i < rounds; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        fn();
        t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                        .count());
    }
    std::sort(t.begin(), t.end());
    return {t.front(), t[t.size() / 2]};
}

void SetFormulas(const char* rgb) {
    for (int k = 0; k < 4; ++k) {
        std::memset(gDefinition->formula[k], 0, sizeof gDefinition->formula[k]);
        std::strncpy(gDefinition->formula[k], k < 3 ? rgb : "a",
                     sizeof gDefinition->formula[k] - 1);
    }
}

// Formulas of exactly `length` characters. A dense one uses much of the
// language and fills the 2048-byte code buffer part-way through the text
// (the compile then stops with the error routine); a sparse one (long
// literals, spaces, a comment) fits, so all of its text is compiled.
std::string LongFormula(size_t length, int channel, bool dense) {
    const char* pieces[] = {"r*3",       "g/7",      "(b^x)",       "sin(x*4)",   "c2m(x-128,y)",
                            "rnd(0,9)",  "put(x,1)", "get(1)",      "src(y,x,z)", "min(c,99)",
                            "(x<y?r:g)", "ctl(1)*2", "val(2,5,50)", "cos(y)"};
    const char* sparse[] = {"1234567890", "c", "x * 1000000", "ctl(1)"};
    std::string f = std::to_string(channel);
    for (int i = 0; f.size() < length - 16; ++i)
        f += dense ? std::string(i % 3 ? "+" : "-") + pieces[i % 14]
                   : std::string(" + ") + sparse[i % 4];
    f += " // the rest";
    while (f.size() < length) f += ' ';
    f.resize(length);
    return f;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 50;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));

    gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr));
    auto* state = static_cast<PluginState*>(AllocBlock(sizeof(PluginState)));
    if (!state || !MakeCodeExecutable(state)) return 1;
    state->definition =
        static_cast<FilterDefinition*>(LoadResourceCopy(FourCC("PARM"), IDR_DEFINITION));
    if (!state->definition) return 1;
    gState = state;
    gDefinition = state->definition;
    gHost = &gRecord;
    BuildTrigTables();
    gRecord.platformData = &gPlatform;
    gRecord.advanceState = AdvanceState;
    gRecord.displayPixels = DisplayPixels;  // the host's: a DIB copied into the dialog
    gRecord.abortProc = NeverAbort;
    gRecord.progressProc = NoProgress;
    gRecord.planes = 3;
    gRecord.inHiPlane = gRecord.outHiPlane = 2;
    gRecord.filterArea = HostArea{0, 0, 1, 1};

    if (!RegisterSliderClass(reinterpret_cast<HINSTANCE>(gModule), nullptr)) return 1;
    HWND dialog = CreateDialogParamA(reinterpret_cast<HINSTANCE>(gModule),
                                     MAKEINTRESOURCEA(IDD_EDITOR), nullptr, TinctorDlgProc, 0);
    if (!dialog) {
        std::fprintf(stderr, "tinctor_preview_bench: the editor did not open (no display?)\n");
        return 1;
    }
    ShowWindow(dialog, SW_SHOW);
    Pump();

    // The largest sample: the filter area is the preview area itself.
    RECT r;
    GetWindowRect(GetDlgItem(dialog, IDC_PREVIEW), &r);
    const int w = r.right - r.left - 2, h = r.bottom - r.top - 2;
    gRecord.filterArea = HostArea{0, 0, int16_t(h), int16_t(w)};
    if (TakePreviewSample(dialog) != 0) return 1;
    std::printf("sample %d x %d pixels, %d planes\n", AreaWidth(gRecord.outArea),
                AreaHeight(gRecord.outArea), 3);

    // Warm-up: the first passes after the window appears also handle its
    // pending display events.
    for (int i = 0; i < 20; ++i) {
        DrawPreview(dialog);
        Pump();
    }

    for (int i = 0; i < kBenchFormulaCount; ++i) {
        const BenchFormula& bf = kBenchFormulas[i];
        SetFormulas(bf.formula);
        gDefinition->sliderValue[0] = 101;
        gDefinition->sliderValue[1] = 128;
        CompileChannelFormulas();
        const Timing redraw = Measure(rounds, [&] { DrawPreview(dialog); });
        const Timing pass = Measure(rounds, [] {
            PrepareRun();
            RunFilter(RunMode::Preview);
        });
        const Timing host = Measure(rounds, [] {
            PrepareRun();
            RunFilter(RunMode::Host);
        });
        std::printf("redraw %s %.3f %.3f\n", bf.name, redraw.best, redraw.median);
        std::printf("pass %s %.3f %.3f\n", bf.name, pass.best, pass.median);
        std::printf("host-pass %s %.3f %.3f\n", bf.name, host.best, host.median);
        std::fflush(stdout);
    }

    for (bool dense : {false, true}) {
        for (int k = 0; k < 4; ++k)
            SetDlgItemTextA(dialog, IDC_FORMULA + k, LongFormula(1023, k, dense).c_str());
        const Timing recompile = Measure(rounds, [&] {
            ReadFormulas(dialog);
            CompileChannelFormulas();
        });
        int failed = 0, bytes = 0;
        for (int k = 0; k < 4; ++k) {
            failed += state->compileFailed[k];
            bytes += state->codeSize[k];
        }
        std::printf("recompile %s %.3f %.3f (4 x 1023 characters, %d code bytes, %d of 4 failed)\n",
                    dense ? "dense" : "sparse", recompile.best, recompile.median, bytes, failed);
    }

    DestroyWindow(dialog);
    UnregisterSliderClass(reinterpret_cast<HINSTANCE>(gModule));
    return 0;
}
