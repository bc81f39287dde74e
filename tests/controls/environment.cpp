#include "tests/controls/environment.h"

#include <gtest/gtest.h>

#include "controls/controls.h"

std::vector<Command> gCommands;

HINSTANCE TestInstance() { return GetModuleHandleA(nullptr); }

namespace {

const bool gWineFrames = DrawOwnFrames();

class ControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(Init_Controls(TestInstance()), 1); }
    void TearDown() override { Terminate_Controls(TestInstance()); }
};
const auto* gEnvironment = ::testing::AddGlobalTestEnvironment(new ControlsEnvironment);

INT_PTR CALLBACK RecordingDlgProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND) {
        gCommands.push_back({wParam, lParam});
        return TRUE;
    }
    return FALSE;
}

}  // namespace

HWND OpenDialog(const char* name) {
    HWND dialog = CreateDialogParamA(TestInstance(), name, nullptr, RecordingDlgProc, 0);
    if (!dialog) return nullptr;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    Pump(300);
    gCommands.clear();
    return dialog;
}
