// The README's pictures of the installer, docs/screenshots/setup-*.png, as
// scripts/setup_screenshots.sh takes them: this walk plays the user of
// setup.exe in the throwaway prefix of tests/setup/chain_run.sh and asks for
// a picture of each window on the way. It walks the chain twice: once to the
// end with a bad path on the way, once into a copy error (a source missing
// from the disk).
#include <string>

#include "scripts/shots/picture_request.h"
#include "setup/setup.h"
#include "tests/setup/chain_user.h"

namespace {

[[noreturn]] void Stop(const std::string& what) { StopWalk("setup_shots", what); }

// Asks the script for the picture setup-<name>.png of `window` (the whole
// screen for null), named by the window's caption, and waits for it.
void Shot(const char* name, HWND window) {
    Sleep(300);  // paints and animations settle
    if (!RequestPicture(WorkDir() + "\\" + name, window ? TextOf(window) : ""))
        Stop(std::string("no picture ") + name);
}

// Waits for the dialog `caption`, has its picture `name` taken and clicks
// its button `id` (none for 0).
HWND ShotOf(SetupRun& setup, const char* caption, const char* name, int id, DWORD ms = 20000) {
    HWND dialog = setup.WaitDialog(caption, ms);
    if (!dialog) Stop(std::string("no dialog ") + caption);
    Shot(name, dialog);
    if (id) ClickItem(dialog, id);
    return dialog;
}

void Enter(HWND plugin, const char* path) {
    ClearText(GetDlgItem(plugin, IDC_PATH));
    TypeText(path);
    ClickItem(plugin, IDOK);
}

}  // namespace

int main() {
    {
        SetupRun setup("");
        if (!setup.WaitDialog("Welcome!")) Stop("setup.exe did not start");
        Shot("main", nullptr);
        ShotOf(setup, "Welcome!", "welcome", IDOK);
        ShotOf(setup, "Platform", "platform", IDOK);
        HWND plugin = ShotOf(setup, "Plug-in location...", "plugin", 0);
        Enter(plugin, "C:\\no\\such\\pl|ace");
        ShotOf(setup, "Bad Path", "badpath", IDOK);
        if (!setup.WaitGone("Bad Path")) Stop("Bad Path stayed");
        Sleep(300);
        Enter(plugin, "C:\\Plugins");
        ShotOf(setup, "Congratulations...", "done", IDOK, 120000);
        if (setup.WaitExit() != kSetupInstalled) Stop("the installation failed");
    }
    {
        std::string missing = DiskDir() + "\\pkfilt05._mf";
        if (!MoveFileA(missing.c_str(), (missing + ".away").c_str())) Stop("no " + missing);
        SetupRun setup("/s");
        HWND plugin = setup.ContinueToPlugin();
        if (!plugin) Stop("no Plug-in location dialog");
        TypeText("C:\\Program Files\\Corvane\\Lumora 3.0\\Plug-ins\\Obsidia");
        ClickItem(plugin, IDOK);
        HWND alert = ShotOf(setup, "Alert!", "alert", 0, 120000);
        // The alert moved aside: the Installing dialog as the failed row left
        // it. (Wine puts a window's drawing on the screen when its thread
        // next waits for messages, which the copy loop does not do during a
        // copy, so the picture is taken here.)
        HWND installing = setup.WaitDialog("Installing...");
        if (!installing) Stop("no Installing dialog");
        SetWindowPos(alert, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Shot("installing", installing);
        ClickItem(alert, IDOK);
        ShotOf(setup, "Warning...", "failure", IDOK);
        if (setup.WaitExit() != kSetupFailed) Stop("the copy did not fail");
    }
    return 0;
}
