#include "host/host_window.h"

#include <windows.h>

namespace {

constexpr char kClassName[] = "LumoraHostWindow";
constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Registered once per process; a second registration fails harmlessly.
void RegisterHostClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    RegisterClassA(&wc);
}

HWND CreateHostWindow() {
    RegisterHostClass();
    RECT work{0, 0, kWidth, kHeight};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + (work.right - work.left - kWidth) / 2;
    int y = work.top + (work.bottom - work.top - kHeight) / 2;
    return CreateWindowExA(0, kClassName, "Lumora", WS_OVERLAPPEDWINDOW, x, y, kWidth, kHeight,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

bool DisplayPresent() {
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    if (GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                  &needed) &&
        !(flags.dwFlags & WSF_VISIBLE))
        return false;
    HostWindow probe;
    return probe.Create();
}

HostWindow::~HostWindow() {
    if (window_) DestroyWindow(static_cast<HWND>(window_));
}

bool HostWindow::Create() {
    if (!window_) window_ = CreateHostWindow();
    return window_ != nullptr;
}
