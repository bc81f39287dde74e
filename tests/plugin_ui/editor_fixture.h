// A test host on TinctorEditor.lmf whose dialog is closed after every test.
#pragma once
#include <gtest/gtest.h>
#include "tests/plugin_ui/dialog_host.h"
#include "tests/support/pixels.h"
#include "tests/support/user.h"

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
        host.Run(PatternImage(width, height, planes), floating);
        dialog = host.WaitForDialog();
        if (!dialog)
            ADD_FAILURE() << "no dialog; host finished: " << host.Finished()
                          << ", state: " << (host.State() ? "yes" : "no");
        return dialog;
    }
    DialogHost host;
    HWND dialog = nullptr;
};
