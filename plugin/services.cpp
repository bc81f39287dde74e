// Memory blocks, resource copies, the error box and executable code buffers.
#include <windows.h>
#include <cstring>
#include "plugin/plugin.h"

HINSTANCE__*      gModule;
HostRecord*       gHost;
PluginState*      gState;
FilterDefinition* gDefinition;

void* AllocBlock(uint32_t bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!h) return nullptr;
    void* p = GlobalLock(h);
    if (!p) GlobalFree(h);
    return p;
}

void FreeBlock(void* block) {
    if (!block) return;
    HGLOBAL h = GlobalHandle(block);
    if (!h) return;
    GlobalUnlock(h);
    GlobalFree(h);
}

void* LoadResourceCopy(uint32_t type, int id, uint32_t* size) {
    char typeName[5] = {char(type >> 24), char(type >> 16), char(type >> 8), char(type), 0};
    HRSRC found = FindResourceA(reinterpret_cast<HMODULE>(gModule), MAKEINTRESOURCEA(id), typeName);
    if (!found) return nullptr;
    DWORD bytes = SizeofResource(reinterpret_cast<HMODULE>(gModule), found);
    HGLOBAL loaded = LoadResource(reinterpret_cast<HMODULE>(gModule), found);
    if (!loaded) return nullptr;
    const void* data = LockResource(loaded);
    if (!data) {
        FreeResource(loaded);
        return nullptr;
    }
    void* copy = AllocBlock(bytes);
    if (copy) std::memcpy(copy, data, bytes);
    FreeResource(loaded);
    if (copy && size) *size = bytes;
    return copy;
}

int ShowErrorBox(int id) {
    char text[256];
    if (!LoadStringA(reinterpret_cast<HMODULE>(gModule), id, text, sizeof text)) text[0] = 0;
    HWND owner = nullptr;
    if (gState && gState->dialogWindow)
        owner = static_cast<HWND>(gState->dialogWindow);
    else if (gHost && gHost->platformData)
        owner = static_cast<HWND>(gHost->platformData->mainWindow);
    const char* caption = gDefinition ? gDefinition->title : "";
    return MessageBoxA(owner, text, caption, MB_OK | MB_ICONSTOP);
}

// Compiled formulas are written into the state block and called there. The
// block is plain heap memory, which data-execution prevention refuses to run,
// so the pages of the code buffers are switched to read-write-execute once;
// the block never moves.
bool MakeCodeExecutable(PluginState* state) {
    DWORD old;
    return VirtualProtect(state->code, sizeof state->code, PAGE_EXECUTE_READWRITE, &old) != 0;
}

void FlushCode(PluginState* state) {
    FlushInstructionCache(GetCurrentProcess(), state->code, sizeof state->code);
}
