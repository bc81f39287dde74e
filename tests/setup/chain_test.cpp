// The installer end to end, as a user meets it: setup.exe from a disk folder
// in a fresh Wine prefix, every dialog of the chain answered with real mouse
// clicks and keystrokes. Each scenario runs in its own prefix (chain_run.sh
// picks the suite Chain_<scenario>).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "controls/checkbox.h"
#include "setup/filetable.h"
#include "setup/package.h"
#include "setup/paths.h"
#include "setup/setup.h"
#include "tests/setup/chain_user.h"

namespace {

const char kWelcomeText[] =
    "Welcome to the Obsidia.  This program will install the Obsidia system in Lumora 3.0's "
    "plug-in directory.";
const char kFailureText[] =
    "The Obsidia has not been installed.  Click OK to exit the installation program.";

// The Windows version Wine reports to setup.exe (and only to it).
void SetWindowsVersion(const char* version) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   lstrlenA(version) + 1);
    RegCloseKey(key);
}

// The platform boxes Windows 3.1, NT and 95 are checked as `states` says
// ("010": NT only).
void ExpectPlatformBoxes(HWND platform, const char* states) {
    const int ids[] = {IDC_WIN31, IDC_NT, IDC_WIN95};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Ask(GetDlgItem(platform, ids[i]), CheckBoxGetState), states[i] - '0')
            << "box " << i << " of " << states;
}

// The exit code once the program has ended; every dialog it still showed
// on the way is added to `seen`.
int WaitExitWatching(SetupRun& setup, std::set<std::string>* seen) {
    int code = -1;
    WaitUntil(
        [&] {
            for (const std::string& caption : setup.Dialogs()) seen->insert(caption);
            return (code = setup.WaitExit(0)) != -1;
        },
        15000, 20);
    return code;
}

void ExpectSameFile(const std::string& installed, const std::string& source) {
    ASSERT_TRUE(FileExists(installed)) << installed << " is missing";
    std::string got = FileBytes(installed), want = FileBytes(ExpectedDir() + "\\" + source);
    ASSERT_FALSE(want.empty()) << source;
    EXPECT_TRUE(got == want) << installed << ": " << got.size() << " bytes, expected "
                             << want.size() << " bytes expanded from " << source;
}

// Every plug-in row of the file table is installed byte for byte.
void ExpectPluginFiles(const std::string& dir) {
    for (const CopyEntry& row : gCopy)
        if (!row.fSystemDir) ExpectSameFile(dir + "\\" + row.pszTarget, row.pszSource);
}

// Installs into `dir` with /s and stops the copy with `stop(main window,
// Installing dialog)` while the installer is held still. The plug-in files
// complete then stay, the one being copied is complete or gone, no later one
// is begun, and the failure ends the chain.
void StopTheCopy(const std::string& dir, const std::function<void(HWND, HWND)>& stop) {
    SetupRun setup("/s");
    HWND main = setup.WaitMain();
    ASSERT_TRUE(main);
    HWND plugin = setup.ContinueToPlugin();
    ASSERT_TRUE(plugin);
    TypeText(dir);
    ClickItem(plugin, IDOK);
    HWND installing = setup.WaitDialog("Installing...", 20000, 0);
    ASSERT_TRUE(installing);
    setup.Suspend();
    size_t complete = 0;
    while (2 + complete < gFiles &&
           FileBytes(dir + "\\" + gCopy[2 + complete].pszTarget) ==
               FileBytes(ExpectedDir() + "\\" + gCopy[2 + complete].pszSource))
        ++complete;
    stop(main, installing);
    setup.Resume();

    HWND failure = setup.WaitDialog("Warning...", 120000);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(IsWindow(installing));
    EXPECT_TRUE(IsWindow(main));  // the chain still owns its window
    ClickItem(failure, IDOK);
    EXPECT_EQ(setup.WaitExit(), kSetupExited);
    ASSERT_LT(2 + complete, static_cast<size_t>(gFiles)) << "the copy had ended before the stop";
    for (size_t i = 2; i < gFiles; ++i) {
        std::string target = dir + "\\" + gCopy[i].pszTarget;
        if (FileExists(target)) ExpectSameFile(target, gCopy[i].pszSource);
        else EXPECT_GE(i, 2 + complete) << target;
        EXPECT_TRUE(i <= 2 + complete || !FileExists(target)) << target;
    }
}

}  // namespace

TEST(Chain_install, InstallsEveryFileIntoTheDirectoryTheHostIniNames) {
    const std::string dir = "C:\\Lumora\\Plug-ins";
    ASSERT_TRUE(CreateDirectoryA("C:\\Lumora", nullptr));
    ASSERT_TRUE(
        WritePrivateProfileStringA("Lumora", "PlugInDirectory", dir.c_str(), "lumora30.ini"));
    // A runtime already in the system directory is newer than the disk's.
    std::string runtime = SystemDir() + "\\msvcrt20.dll", runtimeBefore = FileBytes(runtime);
    ASSERT_FALSE(runtimeBefore.empty());

    SetupRun setup("");
    ASSERT_TRUE(setup.process);
    HWND main = setup.WaitMain();
    ASSERT_TRUE(main);
    EXPECT_EQ(TextOf(main), "Obsidia 2.0 Setup");
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));  // the NT family keeps the whole height

    HWND welcome = setup.WaitDialog("Welcome!");
    ASSERT_TRUE(welcome);
    auto texts = TextsOfClass(welcome, "ObsidiaMText");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], kWelcomeText);
    ClickItem(welcome, IDOK);

    HWND platform = setup.WaitDialog("Platform");
    ASSERT_TRUE(platform);
    ExpectPlatformBoxes(platform, "010");  // Wine reports the NT family by default
    ClickItem(platform, IDOK);

    HWND plugin = setup.WaitDialog("Plug-in location...");
    ASSERT_TRUE(plugin);
    EXPECT_EQ(ItemText(plugin, IDC_PATH), dir);
    uint64_t bytes = 0;  // what the files of this platform take once expanded
    for (const CopyEntry& row : gCopy)
        if (RowApplies(row, PLATFORM_NT))
            bytes += FileBytes(ExpectedDir() + "\\" + row.pszSource).size();
    char required[32];
    freespacestr(KilobytesUp(bytes), required);
    EXPECT_EQ(ItemText(plugin, IDC_SPACE_REQUIRED), required);
    std::string free = ItemText(plugin, IDC_SPACE_FREE);
    EXPECT_TRUE(free.size() > 3 && free.substr(free.size() - 3) == " MB") << free;
    EXPECT_TRUE(ItemEnabled(plugin, IDOK));
    ClickItem(plugin, IDOK);

    ASSERT_TRUE(setup.Answer("Congratulations...", IDOK, 120000));
    EXPECT_EQ(setup.WaitExit(), kSetupInstalled);

    ExpectPluginFiles(dir);
    std::string runtimeAfter = FileBytes(runtime);
    ASSERT_FALSE(runtimeAfter.empty());
    EXPECT_TRUE(runtimeAfter == runtimeBefore) << "a newer runtime was replaced";
    // The host's listing of this directory is checked by chain_run.sh.
    WriteBytes(WorkDir() + "\\plugin_dir.txt", dir);
}

TEST(Chain_exit, ExitOnWelcomeEndsWithoutAnotherDialog) {
    SetupRun setup("");
    ASSERT_TRUE(setup.Answer("Welcome!", IDCANCEL));
    std::set<std::string> seen;
    EXPECT_EQ(WaitExitWatching(setup, &seen), kSetupExited);
    EXPECT_EQ(seen.count("Warning..."), 0u);
    EXPECT_EQ(seen.count("Platform"), 0u);
}

TEST(Chain_exit, ExitOnPlatformEndsWithoutAnotherDialog) {
    // Wine's Windows 3.1 answers as Win32s: the first box is the one checked.
    SetWindowsVersion("win31");
    SetupRun setup("");
    ASSERT_TRUE(setup.Answer("Welcome!", IDOK));
    HWND platform = setup.WaitDialog("Platform");
    ASSERT_TRUE(platform);
    ExpectPlatformBoxes(platform, "100");
    ClickItem(platform, IDCANCEL);
    std::set<std::string> seen;
    EXPECT_EQ(WaitExitWatching(setup, &seen), kSetupExited);
    EXPECT_EQ(seen.count("Warning..."), 0u);
    EXPECT_EQ(seen.count("Plug-in location..."), 0u);
    SetWindowsVersion("");
}

TEST(Chain_exit, ExitOnPluginShowsFailureAndInstallsNothing) {
    SetupRun setup("");
    HWND plugin = setup.ContinueToPlugin();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(ItemText(plugin, IDC_PATH), "c:\\plugins");  // no INI file, no default place found
    ClickItem(plugin, IDCANCEL);
    HWND failure = setup.WaitDialog("Warning...");
    ASSERT_TRUE(failure);
    auto texts = TextsOfClass(failure, "ObsidiaMText");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], kFailureText);
    ClickItem(failure, IDOK);
    EXPECT_EQ(setup.WaitExit(), kSetupExited);
    EXPECT_FALSE(FileExists("C:\\plugins"));
}

TEST(Chain_badpath, UncreatableDirectoryShowsBadPathAndTheUserTriesAgain) {
    SetWindowsVersion("win95");
    SetupRun setup("-S /n");
    HWND main = setup.WaitMain();
    ASSERT_TRUE(main);
    RECT r;
    GetWindowRect(main, &r);
    // On Windows 95 the task bar stays visible below the window.
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYICON));

    ASSERT_TRUE(setup.WaitDialog("Welcome!"));
    PressKey(VK_RETURN);  // Continue is the default button

    HWND platform = setup.WaitDialog("Platform");
    ASSERT_TRUE(platform);
    ExpectPlatformBoxes(platform, "001");
    // The boxes act as one radio group; clicking the checked box keeps it.
    ClickItem(platform, IDC_NT);
    Sleep(600);  // the tick's animation
    ExpectPlatformBoxes(platform, "010");
    ClickItem(platform, IDC_NT);
    Sleep(300);
    ExpectPlatformBoxes(platform, "010");
    ClickItem(platform, IDOK);

    HWND plugin = setup.WaitDialog("Plug-in location...");
    ASSERT_TRUE(plugin);
    HWND edit = GetDlgItem(plugin, IDC_PATH);
    // /S: no search, an empty field, and Continue only for a non-empty path.
    EXPECT_EQ(TextOf(edit), "");
    EXPECT_FALSE(ItemEnabled(plugin, IDOK));
    TypeText("x");
    EXPECT_TRUE(ItemEnabled(plugin, IDOK));
    PressKey(VK_BACK);
    Sleep(100);
    EXPECT_FALSE(ItemEnabled(plugin, IDOK));

    // Relative, and the last of three new levels cannot be made.
    TypeText("no\\such\\pl|ace");
    ClickItem(plugin, IDOK);
    ASSERT_TRUE(setup.Answer("Bad Path", IDOK));
    ASSERT_TRUE(setup.WaitGone("Bad Path"));
    Sleep(300);
    EXPECT_TRUE(IsWindow(plugin));  // back in the PlugIn dialog, in its path field
    HWND focus = FocusOf(plugin);
    ASSERT_TRUE(focus);
    EXPECT_EQ(focus, edit) << "focus on control " << GetDlgCtrlID(focus);
    EXPECT_EQ(TextOf(edit), DiskDir() + "\\no\\such\\pl|ace");  // whole, from the current folder
    EXPECT_FALSE(FileExists(DiskDir() + "\\no"));

    if (const char* tiny = std::getenv("CHAIN_TINY_DRIVE")) {  // too small for the package
        ClearText(edit);
        TypeText(std::string(tiny) + ":\\Obsidia");
        ClickItem(plugin, IDOK);
        HWND alert = setup.WaitDialog("Alert!");
        ASSERT_TRUE(alert);
        EXPECT_EQ(ItemText(alert, IDC_MESSAGE).find("There is not enough room"), 0u);
        ClickItem(alert, IDOK);
        ASSERT_TRUE(setup.WaitGone("Alert!"));
    }

    ClearText(edit);
    TypeText(" C:\\Plug\\In ");  // blanks around, two new levels
    ClickItem(plugin, IDOK);
    ASSERT_TRUE(setup.Answer("Congratulations...", IDOK, 120000));
    EXPECT_EQ(setup.WaitExit(), kSetupInstalled);
    ExpectPluginFiles("C:\\Plug\\In");
    // /n: the runtime goes to the Windows directory.
    ExpectSameFile(WindowsDir() + "\\msvcrt20.dll", "msvcrt20._ll");
    SetWindowsVersion("");
}

TEST(Chain_cancel, CancelDuringTheCopyStopsAfterTheCurrentFile) {
    StopTheCopy("C:\\Cancelled", [](HWND, HWND installing) { ClickItem(installing, IDCANCEL); });
}

TEST(Chain_cancel, ClosingTheMainWindowDuringTheCopyCountsAsCancel) {
    // The close box of the main window (the only window not disabled then).
    StopTheCopy("C:\\Closed",
                [](HWND main, HWND) { PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

TEST(Chain_missing, MissingSourceAlertsThenFailsKeepingEarlierFiles) {
    SetupRun setup("/s");
    HWND plugin = setup.ContinueToPlugin();
    ASSERT_TRUE(plugin);
    TypeText("C:\\Partial");
    ClickItem(plugin, IDOK);

    HWND alert = setup.WaitDialog("Alert!", 120000);
    ASSERT_TRUE(alert);
    std::string shown = ItemText(alert, IDC_MESSAGE), full = "Cannot open \"" + DiskDir();
    size_t dots = shown.find("...");  // the path loses its middle, not its name
    EXPECT_EQ(lstrcmpiA(shown.substr(0, dots).c_str(), full.substr(0, dots).c_str()), 0) << shown;
    EXPECT_EQ(shown.substr(dots + 3), "\\pkfilt05._mf\"");
    // The close box counts as OK.
    PostMessageA(alert, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(setup.Answer("Warning...", IDOK));
    EXPECT_EQ(setup.WaitExit(), kSetupFailed);

    bool before = true;
    for (const CopyEntry& row : gCopy) {
        if (row.fSystemDir) continue;
        std::string target = std::string("C:\\Partial\\") + row.pszTarget;
        if (std::string(row.pszSource) == "pkfilt05._mf") before = false;
        if (before) ExpectSameFile(target, row.pszSource);
        else EXPECT_FALSE(FileExists(target)) << target;
    }
}
