// Memory blocks, resource copies, the error box, executable code buffers,
// the one compile entry point and the preview's keystroke test.
#include <windows.h>
#include <cstring>
#include "formula/compiler.h"
#include "formula/native.h"
#include "formula/runtime.h"
#include "plugin/core/plugin.h"

namespace {
constexpr int kErrorTextMax = 255;  // characters of a string-table message
}  // namespace

HINSTANCE__* gModule;
HostRecord* gHost;
PluginState* gState;
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

FilterDefinition* OwnDefinition() {
    uint32_t size = 0;
    auto* definition =
        static_cast<FilterDefinition*>(LoadResourceCopy(FourCC("PARM"), IDR_DEFINITION, &size));
    if (definition && size < sizeof(FilterDefinition)) {
        FreeBlock(definition);
        return nullptr;
    }
    return definition;
}

int ShowErrorBox(int id) {
    char text[kErrorTextMax + 1];
    if (!LoadStringA(reinterpret_cast<HMODULE>(gModule), id, text, sizeof text)) text[0] = 0;
    return ShowMessage(text, MB_OK | MB_ICONSTOP);
}

int ShowMessage(const char* text, unsigned type) {
    HWND owner = nullptr;
    if (gState && gState->dialogWindow) owner = static_cast<HWND>(gState->dialogWindow);
    else if (gHost && gHost->platformData)
        owner = static_cast<HWND>(gHost->platformData->mainWindow);
    char caption[sizeof gDefinition->title + 1] = "";
    if (gDefinition) CopySlotText(caption, gDefinition->title, sizeof gDefinition->title);
    return MessageBoxA(owner, text, caption, type);
}

void CopySlotText(char* out, const char* slot, size_t slotSize) {
    const size_t n = strnlen(slot, slotSize);
    std::memcpy(out, slot, n);
    out[n] = 0;
}

// Compiled formulas are written into the state block and called there. The
// block is plain heap memory, which data-execution prevention refuses to run,
// so the pages of the code buffers are switched to read-write-execute; the
// block never moves.
bool MakeCodeExecutable(PluginState* state) {
    return MakeExecutable(state->code, sizeof state->code);
}

void FlushCode(PluginState* state) { ::FlushCode(state->code, sizeof state->code); }

FormulaTables::FormulaTables()
    : funcs_(
          static_cast<uint8_t*>(LoadResourceCopy(FourCC("FUNC"), IDR_FORMULA_TABLES, &funcSize_))),
      opers_(
          static_cast<uint8_t*>(LoadResourceCopy(FourCC("OPER"), IDR_FORMULA_TABLES, &operSize_))) {
}

FormulaTables::~FormulaTables() {
    FreeBlock(funcs_);
    FreeBlock(opers_);
}

void CompileChannelFormulas() {
    PluginState* s = gState;
    const FormulaTables tables;
    if (tables.ok()) {
        const char* const formulas[kChannels] = {gDefinition->formula[0], gDefinition->formula[1],
                                                 gDefinition->formula[2], gDefinition->formula[3]};
        CompileChannels(s, formulas, tables.funcs(), tables.opers());
    } else {
        // Without the tables nothing can be compiled: each channel is a failed
        // one without a routine (codeSize 0), which the pass does not call and
        // whose output is 0.
        for (int k = 0; k < kChannels; ++k) {
            s->compileFailed[k] = 1;
            s->errorStart[k] = s->errorEnd[k] = s->codeSize[k] = 0;
        }
        s->formulasEdited = 0;
    }
    FlushCode(s);
}

void BuildTrigTables() { BuildTrigTables(gState); }

// A keystroke waiting for any window of this thread; it stays queued, so the
// dialog still gets it.
bool KeyWaiting() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE) != 0;
}
