#include "tests/plugin_ui/dialog_host.h"
#include "host/display.h"
#include "tests/plugin/plugin_paths.h"
#include "tests/plugin/recording_callbacks.h"
#include "tests/support/user.h"

namespace {

const bool gWineFrames = DrawOwnFrames();
DialogHost* gHostUnderTest;  // the callbacks take no context

LRESULT CALLBACK MainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

HWND CreateMainWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = "TestHostMain";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("TestHostMain", "Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           1000, 800, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return w;
}

}  // namespace

TestImage PatternImage(int width, int height, int planes) {
    TestImage image;
    image.width = width;
    image.height = height;
    image.planes = planes;
    image.pixels.resize(size_t(width) * height * planes);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &image.pixels[(size_t(y) * width + x) * planes];
            p[0] = uint8_t(x * 7 + y * 3);
            p[1] = uint8_t(x ^ (y * 5));
            p[2] = uint8_t(x * y + 11);
            if (planes == 4) p[3] = uint8_t(x + y);
        }
    return image;
}

DialogHost::DialogHost(const std::string& pluginFile) {
    module_ = LoadLibraryA(PluginPath(pluginFile.c_str()).c_str());
    if (module_)
        entry_ = reinterpret_cast<PluginEntryProc>(
            reinterpret_cast<void*>(GetProcAddress(module_, "ENTRYPOINT1")));
    RecordingCallbacks::Install(record_);
    record_.platformData = &platform_;
    record_.aboutPlatform = &platform_;
    record_.advanceState = AdvanceState;
    record_.displayPixels = DisplayPixels;
    record_.imageMode = 3;
    gHostUnderTest = this;
}

DialogHost::~DialogHost() {
    if (thread_.joinable()) {
        // A test that failed half-way: close whatever is open, then wait.
        if (State() && State()->dialogWindow)
            PostMessageA(static_cast<HWND>(State()->dialogWindow), WM_COMMAND, IDCANCEL, 0);
        thread_.join();
    }
    if (module_) FreeLibrary(module_);
    gHostUnderTest = nullptr;
}

int16_t DialogHost::Call(int32_t selector) {
    int16_t result = 0x5555;
    entry_(selector, &record_, &data_, &result);
    return result;
}

FilterDefinition* DialogHost::Definition() {
    if (!data_ && entry_) Call(kSelectorFinish);
    return State() ? State()->definition : nullptr;
}

void DialogHost::Run(const TestImage& image, bool floatingWithMask) {
    image_ = image;
    record_.planes = int16_t(image.planes);
    bool alpha = image.planes == 4;
    record_.inLayerPlanes = record_.inTransparentIndex = alpha;
    record_.outTransparentIndex = alpha && outputTransparency;
    record_.filterArea = HostArea{0, 0, int16_t(image.height), int16_t(image.width)};
    finished_ = false;
    thread_ = std::thread([this, floatingWithMask] { HostThread(floatingWithMask); });
}

void DialogHost::HostThread(bool floatingWithMask) {
    threadId_ = GetCurrentThreadId();
    mainWindow_ = CreateMainWindow();
    platform_.mainWindow = mainWindow_;
    record_.isFloating = floatingWithMask;
    record_.haveMask = floatingWithMask;
    int16_t r = Call(kSelectorParameters);
    if (r == 0) r = Call(kSelectorPrepare);
    if (r == 0) r = Call(kSelectorStart);
    startResult_ = r;
    if (r == 0) {
        FillBuffers(1);
        Call(kSelectorContinue);
        finalOutput_ = out_;
        Call(kSelectorFinish);
    }
    DestroyWindow(mainWindow_);
    finished_ = true;
}

int16_t DialogHost::Wait(DWORD ms) {
    DWORD start = GetTickCount();
    while (!finished_ && GetTickCount() - start < ms) Sleep(10);
    if (!finished_) return -1;
    if (thread_.joinable()) thread_.join();
    return startResult_;
}

HWND DialogHost::WaitForDialog(DWORD ms) {
    HWND d = nullptr;
    WaitUntil(
        [&] {
            d = State() ? static_cast<HWND>(State()->dialogWindow) : nullptr;
            return finished_ || (d && IsWindowVisible(d));
        },
        ms);
    if (finished_ || !d || !IsWindowVisible(d)) return nullptr;
    Sleep(300);  // let it paint
    return d;
}

// The requested input area at `rate`: sample (r, c) of the area is source
// pixel ((top + r) * rate, (left + c) * rate); outside the image, zero.
void DialogHost::FillBuffers(int rate) {
    const HostArea a = record_.inArea;
    const int planes = record_.inHiPlane - record_.inLoPlane + 1;
    const int w = a.right - a.left, h = a.bottom - a.top;
    const int rowBytes = w * planes + 5;  // padded rows catch stride mistakes
    in_.assign(size_t(rowBytes) * (h > 0 ? h : 0) + 1, 0);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const int sx = (a.left + c) * rate, sy = (a.top + r) * rate;
            if (sx >= image_.width || sy >= image_.height) continue;
            for (int p = 0; p < planes; ++p)
                in_[size_t(r) * rowBytes + c * planes + p] =
                    image_.at(sx, sy, record_.inLoPlane + p);
        }
    out_ = in_;
    record_.inRowBytes = record_.outRowBytes = rowBytes;
    record_.inData = in_.data();
    record_.outData = out_.data();
    if (record_.isFloating) {
        // An elliptic mask over the reduced selection.
        const HostArea m = record_.maskArea;
        const int mw = m.right - m.left, mh = m.bottom - m.top;
        mask_.assign(size_t(mw > 0 ? mw : 1) * (mh > 0 ? mh : 1), 0);
        for (int r = 0; r < mh; ++r)
            for (int c = 0; c < mw; ++c) {
                const double dx = (c - mw / 2.0) / (mw / 2.0), dy = (r - mh / 2.0) / (mh / 2.0);
                mask_[size_t(r) * mw + c] = dx * dx + dy * dy <= 1 ? 255 : 0;
            }
        record_.maskData = mask_.data();
        record_.maskRowBytes = mw;
    }
}

int16_t __cdecl DialogHost::AdvanceState() {
    DialogHost* h = gHostUnderTest;
    HostRecord& r = h->record_;
    {
        std::lock_guard<std::mutex> g(h->lock_);
        h->advanceCalls_.push_back({r.inArea, r.outArea, r.maskArea, r.inputRate, r.maskRate,
                                    r.inputPadding, r.outputPadding, r.maskPadding});
    }
    if (h->advanceAnswer != 0) return h->advanceAnswer;
    h->FillBuffers(r.inputRate >> 16);
    return 0;
}

int16_t __cdecl DialogHost::DisplayPixels(const HostPixelMap* map, const HostRect32* source,
                                          int32_t row, int32_t col, void* dc) {
    DialogHost* h = gHostUnderTest;
    DisplayCall call{*map, map->masks != nullptr, {}, *source, row, col};
    if (map->masks) call.mask = *map->masks;
    {
        std::lock_guard<std::mutex> g(h->lock_);
        h->displayCalls_.push_back(call);
    }
    return ::DisplayPixels(map, source, row, col, dc);
}

std::vector<AdvanceCall> DialogHost::AdvanceCalls() {
    std::lock_guard<std::mutex> g(lock_);
    return advanceCalls_;
}

std::vector<DisplayCall> DialogHost::DisplayCalls() {
    std::lock_guard<std::mutex> g(lock_);
    return displayCalls_;
}

int DialogHost::DisplayCount() {
    std::lock_guard<std::mutex> g(lock_);
    return int(displayCalls_.size());
}
