#include "host/session.h"

#include <windows.h>

#include <cstdio>

#include "host/console.h"
#include "host/display.h"
#include "host/protocol.h"
#include "interface/host_record.h"

namespace {

constexpr int16_t kImageModeRGB = 3;
constexpr int16_t kAdvanceFailed = -1;

struct Session {
    HostRecord record{};
    HostPlatformData platform{};
    intptr_t data = 0;  // the plug-in's data handle, kept for the process
    PluginEntryProc entry = nullptr;
    const FilterJob* job = nullptr;
    HostBuffer in, out, mask;
    bool inContinue = false;
    bool stopAnswered = false;
    int32_t progressDone = -1;
    ProgressBar* bar = nullptr;
    std::string bufferError;
};

// The callbacks take no context, so the one running session is process-wide.
Session* gSession = nullptr;
int16_t gRunningSelector = -1;

bool PlanesValid(int32_t lo, int32_t hi, int32_t planes) { return lo >= 0 && lo <= hi && hi < planes; }

// Fills every buffer for the areas the plug-in currently requests.
bool FillRequested(Session& s) {
    HostRecord& r = s.record;
    const FilterJob& job = *s.job;
    Area inArea = ToArea(r.inArea), outArea = ToArea(r.outArea), maskArea = ToArea(r.maskArea);
    if (r.inputRate <= 0 || r.maskRate <= 0) {
        s.bufferError = "the plug-in asked for a sampling rate of zero or less";
        return false;
    }
    int32_t planes = r.planes;
    if (!inArea.empty() && !PlanesValid(r.inLoPlane, r.inHiPlane, planes)) {
        s.bufferError = "the plug-in asked for input planes " + std::to_string(r.inLoPlane) + ".." +
                        std::to_string(r.inHiPlane) + " of a " + std::to_string(planes) + "-plane image";
        return false;
    }
    if (!outArea.empty() && !PlanesValid(r.outLoPlane, r.outHiPlane, planes)) {
        s.bufferError = "the plug-in asked for output planes " + std::to_string(r.outLoPlane) + ".." +
                        std::to_string(r.outHiPlane) + " of a " + std::to_string(planes) + "-plane image";
        return false;
    }
    FillBuffer(*job.source, inArea, r.inLoPlane, r.inHiPlane, r.inputRate, s.in);
    // The output starts as the original pixels, sampled like the input.
    FillBuffer(*job.source, outArea, r.outLoPlane, r.outHiPlane, r.inputRate, s.out);
    if (job.mask) FillBuffer(*job.mask, maskArea, 0, 0, r.maskRate, s.mask);
    else s.mask = HostBuffer{};
    r.inData = s.in.data();
    r.inRowBytes = s.in.rowBytes;
    r.outData = s.out.data();
    r.outRowBytes = s.out.rowBytes;
    r.maskData = s.mask.data();
    r.maskRowBytes = s.mask.rowBytes;
    return true;
}

void CommitOutput(Session& s) {
    if (!GuardsIntact(s.out))
        std::fprintf(stderr, "warning: %s wrote past the end of its output rows\n",
                     s.job->plugin.menuName.c_str());
    WriteBack(s.out, s.job->filterArea, s.job->mask, *s.job->result);
}

uint8_t __cdecl AbortProc() {
    Session* s = gSession;
    if (!s) return 0;
    if (!s->stopAnswered) {
        bool atRow = s->job && s->job->abortAtRow >= 0 && s->progressDone >= s->job->abortAtRow;
        s->stopAnswered = atRow || UserAskedToStop();
    }
    return s->stopAnswered ? 1 : 0;
}

void __cdecl ProgressProc(int32_t done, int32_t total) {
    Session* s = gSession;
    if (!s) return;
    s->progressDone = done;
    if (s->bar) s->bar->update(done, total);
}

// Makes the buffers match the requested areas now. Inside continue the
// output buffer in hand is full-resolution work, so it is written back
// first; during start (a preview sample) nothing reaches the image.
int16_t __cdecl AdvanceProc() {
    Session* s = gSession;
    if (!s || !s->job) return kAdvanceFailed;
    if (s->inContinue) CommitOutput(*s);
    return FillRequested(*s) ? 0 : kAdvanceFailed;
}

HWND CreateHostWindow() {
    static const char kClass[] = "LumoraHostWindow";
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);  // fails harmlessly when already registered
    // Never shown: it only owns the plug-in's dialogs and message boxes.
    return CreateWindowExA(0, kClass, "Lumora", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                           480, nullptr, nullptr, wc.hInstance, nullptr);
}

std::string LastErrorText() {
    DWORD code = GetLastError();
    char text[256] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ' || text[n - 1] == '.'))
        text[--n] = '\0';
    return n ? std::string(text) : "error " + std::to_string(code);
}

bool LoadPlugin(const PluginRef& plugin, Session& s, JobOutcome& outcome) {
    HMODULE module = LoadLibraryA(plugin.path.c_str());
    if (!module) {
        outcome = {2, "cannot load plug-in " + plugin.path + ": " + LastErrorText()};
        return false;
    }
    // FARPROC is only a generic address; the property list names a cdecl entry.
    s.entry = reinterpret_cast<PluginEntryProc>(
        reinterpret_cast<void*>(GetProcAddress(module, plugin.entryName.c_str())));
    if (!s.entry) {
        outcome = {2, "cannot load plug-in " + plugin.path + ": it has no export '" + plugin.entryName + "'"};
        return false;
    }
    s.platform.mainWindow = CreateHostWindow();
    s.record.platformData = &s.platform;
    s.record.abortProc = AbortProc;
    s.record.progressProc = ProgressProc;
    s.record.advanceState = AdvanceProc;
    s.record.displayPixels = DisplayPixels;
    s.record.imageMode = kImageModeRGB;
    s.record.inputRate = kRateOne;
    s.record.maskRate = kRateOne;
    return true;
}

int16_t Call(Session& s, int16_t selector) {
    int16_t result = 0;
    gSession = &s;
    gRunningSelector = selector;
    s.entry(selector, &s.record, &s.data, &result);
    gRunningSelector = -1;
    return result;
}

// Turns a selector's nonzero result into the outcome; false when it ends the run.
bool Check(int16_t selector, int16_t code, const std::string& name, JobOutcome& outcome) {
    if (code == kResultOk) return true;
    outcome.exitStatus = ExitStatusForResult(code);
    if (code == kResultCancelled)
        outcome.message = selector == kSelectorContinue ? "the filter was stopped" : "cancelled";
    else
        outcome.message = name + " failed at " + SelectorName(selector) + ": error " + DescribeResult(code);
    return false;
}

bool AnyAreaRequested(const HostRecord& r) { return !ToArea(r.inArea).empty() || !ToArea(r.outArea).empty(); }

void RunContinueLoop(Session& s, JobOutcome& outcome) {
    const std::string& name = s.job->plugin.menuName;
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    while (AnyAreaRequested(s.record)) {
        if (!FillRequested(s)) {
            outcome = {2, name + ": " + s.bufferError};
            return;
        }
        s.inContinue = true;
        QueryPerformanceCounter(&t0);
        int16_t code = Call(s, kSelectorContinue);
        QueryPerformanceCounter(&t1);
        s.inContinue = false;
        outcome.continueMs += double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(frequency.QuadPart);
        ++outcome.continueCalls;
        // A stopped pass leaves its finished rows in the output: they are kept
        // in memory like any other, but the run's result is not written out.
        CommitOutput(s);
        if (!Check(kSelectorContinue, code, name, outcome)) return;
    }
}

}  // namespace

const char* RunningSelector() { return gRunningSelector < 0 ? nullptr : SelectorName(gRunningSelector); }

JobOutcome RunFilterJob(const FilterJob& job) {
    JobOutcome outcome;
    static Session session;  // lives as long as the process, like the data handle
    Session& s = session;
    s.job = &job;
    if (!LoadPlugin(job.plugin, s, outcome)) return outcome;

    HostRecord& r = s.record;
    bool alpha = job.source->alpha;
    r.planes = int16_t(job.source->planes());
    r.filterArea = ToHostArea(job.filterArea);
    r.inLayerPlanes = alpha;
    r.inTransparentIndex = alpha;
    r.outTransparentIndex = alpha;
    r.haveMask = job.mask != nullptr;
    r.isFloating = 0;

    ProgressBar bar(!job.quiet);
    s.bar = &bar;
    const std::string& name = job.plugin.menuName;
    if (!job.repeat && !Check(kSelectorParameters, Call(s, kSelectorParameters), name, outcome)) return outcome;
    if (!Check(kSelectorPrepare, Call(s, kSelectorPrepare), name, outcome)) return outcome;
    if (!Check(kSelectorStart, Call(s, kSelectorStart), name, outcome)) return outcome;
    RunContinueLoop(s, outcome);
    bar.finish(outcome.exitStatus == 0);
    // Finish follows every successful start, also after a stopped pass.
    int16_t finish = Call(s, kSelectorFinish);
    if (outcome.exitStatus == 0) Check(kSelectorFinish, finish, name, outcome);
    s.bar = nullptr;
    return outcome;
}

JobOutcome RunAboutJob(const PluginRef& plugin) {
    JobOutcome outcome;
    static Session session;
    Session& s = session;
    if (!LoadPlugin(plugin, s, outcome)) return outcome;
    s.record.aboutPlatform = &s.platform;
    Check(kSelectorAbout, Call(s, kSelectorAbout), plugin.menuName, outcome);
    return outcome;
}
