// The control tests' program: the control library started once, and the
// dialogs of the test's templates, which record the commands they receive.
#pragma once
#include <windows.h>

#include <vector>

#include "tests/controls/controls_test_ids.h"
#include "tests/support/pixels.h"
#include "tests/support/user.h"

HINSTANCE TestInstance();

// WM_COMMAND messages received by dialogs made with OpenDialog.
struct Command {
    WPARAM wParam;
    LPARAM lParam;
};
extern std::vector<Command> gCommands;

// A modeless dialog from the test's templates, shown and painted.
HWND OpenDialog(const char* name);
