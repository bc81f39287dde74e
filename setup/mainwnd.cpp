// The installer's main window: a full-screen textured backdrop with the logo
// and the title, which runs the dialog chain once it is on screen and closes
// itself when the chain ends.
#include <cstring>

#include "art/art_names.h"
#include "controls/control_class.h"
#include "controls/dibtex.h"
#include "setup/dlgutil.h"
#include "setup/engine.h"
#include "setup/setup.h"
#include "setup/state.h"

namespace {

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableHeader = 22;
constexpr int kMetaHeader = 18;  // the standard header; its size field is at offset 6

DIBTex* gTexture = nullptr;
HMETAFILE gLogo = nullptr;
HFONT gTitleFont = nullptr;
UINT gSetupMsg = 0;
bool gInstalling = false;      // Install runs inside the registered message
int gExitCode = kSetupFailed;  // what Install answered, handed to the quit message

void MainWnd_OnCreate(HWND window) {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    Init_Controls(ghInst);
    PostMessageA(window, SetupMsg(), 0, 0);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void MainWnd_OnDestroy() {
    delete gTexture;
    gTexture = nullptr;
    if (gLogo) DeleteMetaFile(gLogo);
    gLogo = nullptr;
    if (gTitleFont) DeleteObject(gTitleFont);
    gTitleFont = nullptr;
    Terminate_Controls(ghInst);
    PostQuitMessage(gExitCode);
}

void MainWnd_OnSetupMsg(HWND window) {
    gInstalling = true;
    gExitCode = Install(window);
    gInstalling = false;
    PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace

UINT SetupMsg() {
    if (!gSetupMsg) gSetupMsg = RegisterWindowMessageA("OBSetup");
    return gSetupMsg;
}

HFONT MakeFont(int height) {
    return CreateFontA(-height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
}

HMETAFILE LoadAPMMetaFile(HINSTANCE instance, const char* name) {
    HRSRC found = FindResourceA(instance, name, IDR_LOGO_TYPE);
    if (!found) return nullptr;
    DWORD size = SizeofResource(instance, found);
    HGLOBAL resource = LoadResource(instance, found);
    const BYTE* bytes = resource ? static_cast<const BYTE*>(LockResource(resource)) : nullptr;
    if (!bytes || size < kPlaceableHeader + kMetaHeader) return nullptr;
    DWORD key, words;
    std::memcpy(&key, bytes, 4);
    std::memcpy(&words, bytes + kPlaceableHeader + 6, 4);
    // The metafile's own size (in 16-bit words) must fit in what follows the
    // placeable header: a larger figure would read past the resource.
    DWORD length = words * 2;
    if (key != kPlaceableKey || words > (size - kPlaceableHeader) / 2 || length < kMetaHeader)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length);
    if (!copy) return nullptr;
    HMETAFILE metafile = nullptr;
    if (void* p = GlobalLock(copy)) {
        std::memcpy(p, bytes + kPlaceableHeader, length);
        metafile = SetMetaFileBitsEx(length, static_cast<const BYTE*>(p));
        GlobalUnlock(copy);
    }
    GlobalFree(copy);
    return metafile;
}

void Paint(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    int w = client.right - client.left;
    int h = client.bottom - client.top;
    if (gTexture) gTexture->TexMap(dc, 0, 0, &client, DIBTex::kNormal, SRCCOPY);
    if (gLogo) {
        int saved = SaveDC(dc);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetViewportExtEx(dc, w - 2 * (w / 20), h - 2 * (h / 20), nullptr);
        SetViewportOrgEx(dc, w / 20, h / 20, nullptr);
        PlayMetaFile(dc, gLogo);
        RestoreDC(dc, saved);
    }
    // The title keeps the size of the first paint when the window is resized.
    if (!gTitleFont) gTitleFont = MakeFont(w / 40);
    if (!gTitleFont) return;
    char title[256];
    int length = LoadStringA(ghInst, IDS_TITLE, title, 255);
    if (length <= 0) return;
    HGDIOBJ oldFont = SelectObject(dc, gTitleFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 7, 7, title, length);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 5, 5, title, length);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The registered number is not a constant: compared before the switch.
    if (msg == SetupMsg()) {
        MainWnd_OnSetupMsg(window);
    } else {
        switch (msg) {
        case WM_CREATE: MainWnd_OnCreate(window); break;
        case WM_CLOSE:
            // Closing the window while the chain runs (only possible during
            // the copy, when no modal dialog disables it) counts as Cancel:
            // destroying it here would stop the control library under the
            // open dialogs and lose the quit message.
            if (gInstalling) {
                gfAbort = 1;
                return 0;
            }
            break;
        case WM_DESTROY: MainWnd_OnDestroy(); break;
        case WM_SIZE: InvalidateRect(window, nullptr, FALSE); break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            if (!IsIconic(window)) Paint(window, dc);
            EndPaint(window, &ps);
            break;
        }
        default: break;
        }
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

ATOM InitApplication(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, IDI_SETUP);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "OBSetupWClass";
    return RegisterClassA(&wc);
}

int InitInstance(HINSTANCE instance, int show) {
    ghInst = instance;
    gTexture = new DIBTex(instance, IDB_BLUETEX);
    gLogo = LoadAPMMetaFile(instance, IDR_LOGO);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (Platform() == PLATFORM_WIN95) height -= GetSystemMetrics(SM_CYICON);
    HWND window = CreateWindowA("OBSetupWClass", "Obsidia 2.0 Setup", WS_OVERLAPPEDWINDOW, 0, 0,
                                width, height, nullptr, nullptr, instance, nullptr);
    if (!window) return 0;
    ShowWindow(window, show);
    UpdateWindow(window);
    return 1;
}
