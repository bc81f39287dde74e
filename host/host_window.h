// The host's main window. It is never shown: it owns the plug-in's dialogs
// and message boxes, as the editor's main window would, and places them
// (a dialog centred on its owner lands in the middle of the screen).
#pragma once

// True when this process can show windows: its window station is
// interactive and a window can be created (under Wine, an X display).
bool DisplayPresent();

class HostWindow {
public:
    HostWindow() = default;
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Creates the window; false when there is no display.
    bool Create();
    void* handle() const { return window_; }

private:
    void* window_ = nullptr;  // HWND
};
