// A host for driving the plug-in's dialogs in real windows. It runs on a
// thread of its own, as a host's user-interface thread would: it creates a
// main window, loads a plug-in file and calls parameters, prepare, start
// (where the dialog runs modally), continue and finish. The test's thread
// plays the user.
//
// Advance state fills the input and output buffers for the requested areas
// from a test image, one source pixel per rate x rate block; display pixels
// records what it was handed and draws it as the stand-in host does. Wine
// draws the frames of this program's windows itself.
#pragma once
#include <windows.h>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include "interface/definition.h"
#include "interface/host_record.h"
#include "interface/state.h"

struct TestImage {
    int width = 0, height = 0, planes = 3;
    std::vector<uint8_t> pixels;  // interleaved, rows without padding
    uint8_t at(int x, int y, int p) const { return pixels[(size_t(y) * width + x) * planes + p]; }
};

// A w x h image whose samples differ from pixel to pixel and plane to plane.
TestImage PatternImage(int width, int height, int planes);

// What the host saw in one call of the display-pixels callback.
struct DisplayCall {
    HostPixelMap map;
    bool hasMask;
    HostMaskDescription mask;
    HostRect32 source;
    int32_t row, col;
};

// What the host saw in one call of advance state.
struct AdvanceCall {
    HostArea in, out, mask;
    int32_t inputRate, maskRate;
    int16_t inputPadding, outputPadding, maskPadding;
};

class DialogHost {
public:
    explicit DialogHost(const std::string& pluginFile);
    ~DialogHost();

    // Allocates the plug-in's state with a finish call, so that a test can
    // adjust the definition before the dialog opens.
    FilterDefinition* Definition();
    PluginState* State() const { return reinterpret_cast<PluginState*>(data_); }

    // Starts the host thread: parameters, prepare, start and, when start
    // succeeds, continue and finish.
    void Run(const TestImage& image, bool floatingWithMask = false);
    // Waits for the start call to end; its result.
    int16_t Wait(DWORD ms = 10000);
    bool Finished() const { return finished_; }

    // The open dialog, once it is visible; null after `ms`.
    HWND WaitForDialog(DWORD ms = 5000);
    DWORD ThreadId() const { return threadId_; }
    HMODULE Module() const { return module_; }
    HWND MainWindow() const { return mainWindow_; }

    int16_t advanceAnswer = 0;       // what advance state answers
    bool outputTransparency = true;  // a 4-plane image keeps its transparency in the output
    std::vector<AdvanceCall> AdvanceCalls();
    std::vector<DisplayCall> DisplayCalls();
    int DisplayCount();
    std::vector<uint8_t> OutputAfterContinue() const { return finalOutput_; }
    HostRecord& Record() { return record_; }

private:
    static int16_t __cdecl AdvanceState();
    static int16_t __cdecl DisplayPixels(const HostPixelMap* map, const HostRect32* source,
                                         int32_t row, int32_t col, void* dc);
    void FillBuffers(int rate);
    int16_t Call(int32_t selector);
    void HostThread(bool floatingWithMask);

    HMODULE module_ = nullptr;
    PluginEntryProc entry_ = nullptr;
    HostRecord record_{};
    HostPlatformData platform_{};
    intptr_t data_ = 0;
    TestImage image_;
    std::vector<uint8_t> in_, out_, mask_, finalOutput_;
    std::thread thread_;
    DWORD threadId_ = 0;
    HWND mainWindow_ = nullptr;
    std::atomic<bool> finished_{false};
    int16_t startResult_ = -1;
    std::mutex lock_;
    std::vector<AdvanceCall> advanceCalls_;
    std::vector<DisplayCall> displayCalls_;
};
