#include "controls/control_mgr.h"

#include <cstdlib>

MyControlMgr* ControlMgr = nullptr;

MyControlMgr::~MyControlMgr() {
    std::free(allocators);
    MyControlCtl::KillObject(lightGreyPen);
    MyControlCtl::KillObject(darkGreyPen);
    MyControlCtl::KillObject(clientPen);
    MyControlCtl::KillObject(clientBrush);
    MyControlCtl::KillObject(font);
}

HPEN MyControlMgr::GetLightGreyPen() {
    if (!lightGreyPen) lightGreyPen = CreatePen(PS_SOLID, 0, RGB(192, 192, 192));
    return lightGreyPen;
}

HPEN MyControlMgr::GetDarkGreyPen() {
    if (!darkGreyPen) darkGreyPen = CreatePen(PS_SOLID, 0, RGB(128, 128, 128));
    return darkGreyPen;
}

HPEN MyControlMgr::GetClientPen() {
    if (!clientPen) clientPen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_WINDOW));
    return clientPen;
}

HBRUSH MyControlMgr::GetClientBrush() {
    if (!clientBrush) clientBrush = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    return clientBrush;
}

HFONT MyControlMgr::GetFont() {
    if (!font) {
        LOGFONTA lf = {};
        lf.lfHeight = -fontHeight;
        lstrcpynA(lf.lfFaceName, "Helv", LF_FACESIZE);
        font = CreateFontIndirectA(&lf);
    }
    return font;
}

int MyControlMgr::AddAllocator(ControlAllocator allocator) {
    for (int i = 0; i < slotCount; i++) {
        if (!allocators[i]) {
            allocators[i] = allocator;
            return 1;
        }
    }
    auto* grown = static_cast<ControlAllocator*>(
        std::realloc(allocators, (slotCount + 1) * sizeof *allocators));
    if (!grown) return 0;
    allocators = grown;
    allocators[slotCount++] = allocator;
    return 1;
}

int MyControlMgr::DelAllocator(ControlAllocator allocator) {
    for (int i = 0; i < slotCount; i++) {
        if (allocators[i] == allocator) {
            allocators[i] = nullptr;
            return 1;
        }
    }
    return 0;
}

MyControlCtl* MyControlMgr::Allocate(HWND window) {
    char name[64];
    if (!GetClassNameA(window, name, sizeof name)) return nullptr;
    for (int i = 0; i < slotCount; i++) {
        if (!allocators[i]) continue;
        if (MyControlCtl* object = allocators[i](name)) return object;
    }
    return nullptr;
}

MyControlCtl* MyControlMgr::GetWindowObject(HWND window) {
    return reinterpret_cast<MyControlCtl*>(GetWindowLongPtrA(window, 0));
}

void MyControlMgr::SetWindowObject(HWND window, MyControlCtl* object) {
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(object));
}

HBITMAP SafeLoadBitmap(HINSTANCE instance, const char* name) {
    if (HBITMAP bitmap = LoadBitmapA(instance, name)) return bitmap;
    return LoadBitmapRW(name);
}

// There is no second bitmap source in this system.
HBITMAP LoadBitmapRW(const char*) { return nullptr; }

int SafeLoadString(HINSTANCE instance, UINT id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    return LoadStringA(instance, id, buffer, size);
}
