// A test host on TinctorEditor.lmf whose dialog is closed after every test.
#pragma once
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include "tests/plugin_ui/dialog_host.h"

class EditorDialog : public ::testing::Test {
protected:
    explicit EditorDialog(const char* file = "TinctorEditor.lmf") : host(file) {}
    void TearDown() override {
        if (!host.Finished() && dialog && IsWindow(dialog))
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        host.Wait();
    }
    // Starts the host on a 400 x 300 pattern and waits for the dialog.
    HWND Open(int planes, int width = 400, int height = 300, bool floating = false) {
        if (host.Finished() || dialog) host.Wait();
        const char* photo = std::getenv("TINCTOR_SHOT_IMAGE");
        host.Run(photo ? LoadPpm(photo) : PatternImage(width, height, planes), floating);
        dialog = host.WaitForDialog();
        if (!dialog)
            ADD_FAILURE() << "no dialog; host finished: " << host.Finished()
                          << ", state: " << (host.State() ? "yes" : "no");
        return dialog;
    }
    DialogHost host;
    HWND dialog = nullptr;
};

// With TINCTOR_SHOT_PAUSE_MS set, a test holds its dialog open that long so
// that a screenshot of the display can be taken (tests/plugin_ui/screenshots.sh).
// The dialog's place on the screen is printed for cropping.
inline void PauseForScreenshot(HWND dialog) {
    const char* ms = std::getenv("TINCTOR_SHOT_PAUSE_MS");
    if (!ms) return;
    RECT r;
    GetWindowRect(dialog, &r);
    std::printf("screenshot %ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    std::fflush(stdout);
    Sleep(DWORD(std::atoi(ms)));
}
