// The installer's dialog utilities, alert and dialog procedures in-process,
// in real windows: a helper thread plays the user while the test's thread
// runs the modal dialog, as the installer does.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "controls/checkbox.h"
#include "controls/control_class.h"
#include "controls/panels.h"
#include "setup/dlgutil.h"
#include "setup/engine.h"
#include "setup/filetable.h"
#include "setup/paths.h"
#include "setup/setup.h"
#include "setup/state.h"
#include "setup/switches.h"
#include "tests/setup/test_logos.h"
#include "tests/support/pixels.h"
#include "tests/support/user.h"

namespace {

class SetupEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ghInst = GetModuleHandleA(nullptr);
        ASSERT_EQ(Init_Controls(ghInst), 1);
    }
    void TearDown() override { Terminate_Controls(ghInst); }
};
const auto* gEnvironment = ::testing::AddGlobalTestEnvironment(new SetupEnvironment);

}  // namespace

TEST(ChainSwitches, OnlyTheFirstLetterAfterEachSwitchCharacterCounts) {
    struct Case {
        const char* text;
        int scan, network, force;
    } cases[] = {
        {"", 1, 0, 0},       {"/s", 0, 0, 0},    {"-S", 0, 0, 0},  {"/snm", 0, 0, 0},
        {"/s/n/m", 0, 1, 1}, {"/s /n", 0, 1, 0}, {"-M", 1, 0, 1},  {"/x -N", 1, 1, 0},
        {"s n m", 1, 0, 0},  {"/", 1, 0, 0},     {"--s", 0, 0, 0}, {"-/n", 1, 1, 0},
    };
    for (const Case& c : cases) {
        SetupSwitches sw = {1, 0, 0};
        ScanSwitches(c.text, &sw);
        EXPECT_EQ(sw.scan, c.scan) << c.text;
        EXPECT_EQ(sw.networkWin, c.network) << c.text;
        EXPECT_EQ(sw.forceMSVC, c.force) << c.text;
    }
    SetupSwitches sw = {1, 0, 0};
    ScanSwitches(nullptr, &sw);
    EXPECT_EQ(sw.scan, 1);
}

TEST(ChainMainWindow, LogoIsThePlaceableResourceLessItsHeader) {
    HRSRC found = FindResourceA(ghInst, IDR_LOGO, IDR_LOGO_TYPE);
    ASSERT_TRUE(found);
    DWORD size = SizeofResource(ghInst, found);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(ghInst, found)));
    HMETAFILE logo = LoadAPMMetaFile(ghInst, IDR_LOGO);
    ASSERT_TRUE(logo);
    UINT length = GetMetaFileBitsEx(logo, 0, nullptr);
    ASSERT_EQ(length, size - 22);
    std::string bits(length, '\0');
    GetMetaFileBitsEx(logo, length, bits.data());
    EXPECT_EQ(std::memcmp(bits.data(), bytes + 22, length), 0);
    DeleteMetaFile(logo);

    EXPECT_EQ(LoadAPMMetaFile(ghInst, "NoSuchLogo"), nullptr);
    // A size field larger than the resource is refused, not read past it.
    EXPECT_EQ(LoadAPMMetaFile(ghInst, IDR_LONG_LOGO), nullptr);
    EXPECT_EQ(LoadAPMMetaFile(ghInst, IDR_PLAIN_LOGO), nullptr);  // no placeable key
}

TEST(ChainMainWindow, TitleFontIsArialOfTheGivenPixelHeight) {
    HFONT font = MakeFont(24);
    ASSERT_TRUE(font);
    LOGFONTA lf;
    ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -24);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfWeight, 0);
    DeleteObject(font);
}

TEST(ChainUtilities, CenterDialogKeepsTheSizeAndCentresOnTheScreen) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 3, 5, 301, 203, nullptr, nullptr,
                                  ghInst, nullptr);
    ASSERT_TRUE(window);
    CenterDialog(window);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 301) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 203) / 2);
    EXPECT_EQ(r.right - r.left, 301);
    EXPECT_EQ(r.bottom - r.top, 203);
    DestroyWindow(window);
}

TEST(ChainUtilities, AlertForAnIdWithoutTextSaysBadErrorAndItsCloseBoxIsOK) {
    std::string shown;
    INT_PTR result = 0;
    RunModal(
        "Alert!", [&] { result = ShowAlert(4242); },
        [&](HWND alert) {
            shown = ItemText(alert, IDC_MESSAGE);
            PostMessageA(alert, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    EXPECT_EQ(shown, "Bad error (4242)");
    EXPECT_EQ(result, IDOK);

    RunModal(
        "Alert!", [&] { result = ShowAlert(IDS_CANNOTOPEN); },
        [&](HWND alert) {
            shown = ItemText(alert, IDC_MESSAGE);
            PostMessageA(alert, WM_COMMAND, IDOK, 0);
        });
    EXPECT_EQ(shown, "Cannot open \"%s\"");  // the id taken as 16 bits
    EXPECT_EQ(result, IDOK);
}

TEST(ChainUtilities, AlertStartsTheControlLibraryWhenItIsStopped) {
    ASSERT_EQ(Terminate_Controls(ghInst), 1);  // the environment's start undone
    WNDCLASSA wc;
    ASSERT_FALSE(GetClassInfoA(ghInst, "ObsidiaMText", &wc));
    std::string shown;
    bool textured = false;
    INT_PTR result = 0;
    RunModal(
        "Alert!", [&] { result = ShowAlertStr("Disk full when copying \"a\""); },
        [&](HWND alert) {
            shown = ItemText(alert, IDC_MESSAGE);
            textured = GetPropA(alert, "OBTexDlg") != nullptr;
            PostMessageA(alert, WM_COMMAND, IDOK, 0);
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shown, "Disk full when copying \"a\"");
    EXPECT_TRUE(textured);
    // ... and stops it again.
    EXPECT_FALSE(GetClassInfoA(ghInst, "ObsidiaMText", &wc));
    ASSERT_EQ(Init_Controls(ghInst), 1);
}

TEST(ChainUtilities, GenericDialogEndsOnlyForCommandsOneAndTwo) {
    INT_PTR result = 0;
    bool openAfterOther = false;
    RunModal(
        "Congratulations...",
        [&] { result = ShowModalDialog(IDD_DONE, GenericDlgProc, nullptr, 0); },
        [&](HWND done) {
            SendMessageA(done, WM_COMMAND, MAKEWPARAM(IDOK, 5), 0);  // not a plain 1
            openAfterOther = IsWindowVisible(done);
            SendMessageA(done, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_TRUE(openAfterOther);
    EXPECT_EQ(result, IDCANCEL);
}

TEST(ChainUtilities, MyYieldAndModelessDlgMessageLetTheDialogManagerSeeTheInstallingDialog) {
    HWND installing = CreateDialogParamA(ghInst, IDD_INSTALLING, nullptr, InstallDlgProc, 0);
    ASSERT_TRUE(installing);
    HWND cancel = GetDlgItem(installing, IDCANCEL);
    EXPECT_EQ(GetFocus(), cancel);
    EXPECT_EQ(SendDlgItemMessageA(installing, IDC_PROGRESS, GraphGetPos, 0, 0),
              0);  // the graph at 0

    ghStatus = installing;
    for (WPARAM key : {VK_ESCAPE, VK_SPACE}) {  // pressed between two files
        gfAbort = 0;
        PostMessageA(cancel, WM_KEYDOWN, key, 0);
        PostMessageA(cancel, WM_KEYUP, key, 0xC0000001);
        MyYield();
        EXPECT_EQ(gfAbort, 1) << key;
    }
    ghStatus = nullptr;
    MSG probe;
    EXPECT_FALSE(PeekMessageA(&probe, nullptr, 0, 0, PM_NOREMOVE)) << "MyYield left a message";

    gfAbort = 0;
    PostMessageA(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, cancel, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(ModelessDlgMessage(nullptr, &msg), 0);
    EXPECT_EQ(ModelessDlgMessage(installing, &msg), 1);
    EXPECT_EQ(gfAbort, 1);              // Esc is Cancel, which sets the flag
    EXPECT_TRUE(IsWindow(installing));  // and leaves the dialog to the copy loop

    DestroyWindow(installing);
    EXPECT_EQ(ModelessDlgMessage(installing, &msg), 0);
    gfAbort = 0;

    // A quit met on the way is left for the main loop, not swallowed.
    PostQuitMessage(7);
    MyYield();
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(ChainDialogs, PlatformExitLeavesTheVariableContinueTakesTheBoxes) {
    int platform = PLATFORM_WIN31;
    int boxes[3] = {};
    RunModal(
        "Platform",
        [&] {
            EXPECT_EQ(ShowModalDialog(IDD_PLATFORM, PlatformDlgProc, nullptr,
                                      reinterpret_cast<LPARAM>(&platform)),
                      IDCANCEL);
        },
        [&](HWND dialog) {
            for (int i = 0; i < 3; ++i)
                boxes[i] = static_cast<int>(
                    SendDlgItemMessageA(dialog, IDC_WIN31 + i, CheckBoxGetState, 0, 0));
            CheckPlatform(dialog, PLATFORM_NT);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_EQ(boxes[0], 1);
    EXPECT_EQ(boxes[1], 0);
    EXPECT_EQ(boxes[2], 0);
    EXPECT_EQ(platform, PLATFORM_WIN31);

    RunModal(
        "Platform",
        [&] {
            EXPECT_EQ(ShowModalDialog(IDD_PLATFORM, PlatformDlgProc, nullptr,
                                      reinterpret_cast<LPARAM>(&platform)),
                      IDOK);
        },
        [&](HWND dialog) {
            CheckPlatform(dialog, PLATFORM_WIN95);
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
    EXPECT_EQ(platform, PLATFORM_WIN95);
}

TEST(ChainDialogs, BadPathShowsThePathLiterallyEvenWithPercentSigns) {
    char path[kPathBuffer] = "C:\\100%s\\%n%d";
    std::string shown;
    RunModal(
        "Bad Path",
        [&] {
            ShowModalDialog(IDD_BADPATH, BadPathDlgProc, nullptr, reinterpret_cast<LPARAM>(path));
        },
        [&](HWND dialog) {
            shown = ItemText(dialog, IDC_MESSAGE);
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
    EXPECT_EQ(shown, "Cannot find \"C:\\100%s\\%n%d\"");
}

TEST(ChainDialogs, PlugInRefusesAPathTooLongForTheInstalledNames) {
    char dir[kPathBuffer] = "";
    PathDialogParams params = {dir, PLATFORM_NT, ""};
    gfScan = 0;
    std::string longPath = "C:\\" + std::string(150, 'd');
    bool badPath = false;
    INT_PTR result = 0;
    RunModal(
        "Plug-in location...",
        [&] {
            result = ShowModalDialog(IDD_PLUGIN, PathDlgProc, nullptr,
                                     reinterpret_cast<LPARAM>(&params));
        },
        [&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PATH, longPath.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            HWND bad = WaitForDialog("Bad Path");
            badPath = bad != nullptr;
            if (bad) SendMessageA(bad, WM_COMMAND, IDOK, 0);
            Sleep(100);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_TRUE(badPath);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(GetFileAttributesA(longPath.c_str()), INVALID_FILE_ATTRIBUTES);
    gfScan = 1;
}

namespace {
// Dark pixels (text) inside `window`.
int DarkPixels(HWND window) {
    Capture cap = CaptureClient(window);
    int dark = 0;
    for (COLORREF c : cap.pixels)
        dark += GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
    return dark;
}
}  // namespace

TEST(ChainDialogs, InstallingShowsTheFileBeingCopied) {
    HWND installing = CreateDialogParamA(ghInst, IDD_INSTALLING, nullptr, InstallDlgProc, 0);
    ASSERT_TRUE(installing);
    MyYield();
    Sleep(200);
    MyYield();
    HWND copying = GetDlgItem(installing, IDC_COPYING);
    EXPECT_GT(DarkPixels(copying), 20) << "template text not drawn";
    SetDlgItemTextA(installing, IDC_COPYING, "");
    UpdateWindow(copying);
    EXPECT_EQ(DarkPixels(copying), 0);
    // The copy's status hook, without a message loop: the texts are drawn at
    // once, and a long target loses its middle, not its file name.
    CopyHooks hooks = InstallingHooks(installing);
    std::string target = "c:\\" + std::string(120, 't') + "\\pkfilt10.lmf";
    hooks.status("pkcommon._ll", target.c_str());
    EXPECT_GT(DarkPixels(copying), 20);
    std::string shown = ItemText(installing, IDC_COPY_TO);
    EXPECT_EQ(shown.substr(0, 4) + shown.substr(shown.size() - 16), "c:\\t...\\pkfilt10.lmf");
    // ... and the text stays when the loop moves the graph and lets the
    // waiting messages through.
    hooks.progress(15);
    EXPECT_EQ(SendDlgItemMessageA(installing, IDC_PROGRESS, GraphGetPos, 0, 0), 15);
    MyYield();
    Sleep(100);
    MyYield();
    EXPECT_GT(DarkPixels(copying), 20) << "covered after the graph moved";
    DestroyWindow(installing);
}
