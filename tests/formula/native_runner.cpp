// Native compile-and-call helpers for the formula tests.
#include "tests/formula/native_runner.h"
#include <windows.h>
#include "formula/compiler.h"
#include "formula/native.h"
#include "interface/resource_ids.h"
#include "interface/state.h"

// int32_t CallRoutineChecked(const void* code, PluginState* state, uint32_t* kept)
// Loads canaries into the registers the caller expects back, calls the
// routine as the engine does (cdecl, one argument) and reports whether the
// canaries survived.
asm(R"(
    .intel_syntax noprefix
    .text
    .globl _CallRoutineChecked
_CallRoutineChecked:
    push    ebp
    push    ebx
    push    esi
    push    edi
    mov     eax, [esp + 20]
    mov     ecx, [esp + 24]
    mov     ebx, 0x5A17C0DE
    mov     esi, 0x6B28D1EF
    mov     edi, 0x7C39E2F0
    mov     ebp, 0x8D4AF301
    push    ecx
    call    eax
    add     esp, 4
    xor     ecx, ecx
    cmp     ebx, 0x5A17C0DE
    jne     1f
    cmp     esi, 0x6B28D1EF
    jne     1f
    cmp     edi, 0x7C39E2F0
    jne     1f
    cmp     ebp, 0x8D4AF301
    jne     1f
    inc     ecx
1:
    mov     edx, [esp + 28]
    mov     [edx], ecx
    pop     edi
    pop     esi
    pop     ebx
    pop     ebp
    ret
    .att_syntax prefix
)");
extern "C" int32_t CallRoutineChecked(const void* code, PluginState* state, uint32_t* kept);

namespace native {
namespace {

ByteTable OwnResource(const char* type) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(IDR_FORMULA_TABLES), type);
    if (!found) return {nullptr, 0};
    HGLOBAL loaded = LoadResource(self, found);
    return {static_cast<const uint8_t*>(LockResource(loaded)),
            uint32_t(SizeofResource(self, found))};
}

}  // namespace

ByteTable Funcs() { return OwnResource("FUNC"); }
ByteTable Opers() { return OwnResource("OPER"); }

PluginState* NewState() {
    return static_cast<PluginState*>(
        VirtualAlloc(nullptr, sizeof(PluginState), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

PluginState* NewExecutableState() {
    PluginState* state = NewState();
    if (state) {
        MakeExecutable(state->code, sizeof state->code);
        // An empty text is a syntax error: every channel holds the "error" routine.
        for (int k = 0; k < 4; ++k) Compile(state, k, "");
    }
    return state;
}

void FreeState(PluginState* state) {
    if (state) VirtualFree(state, 0, MEM_RELEASE);
}

Compiled Compile(PluginState* state, int channel, const std::string& text, int32_t capacity) {
    Compiled c{};
    c.start = 0;
    c.end = int32_t(text.size());
    c.size = capacity;
    c.failed = CompileFormula(Funcs(), Opers(), text.data(), &c.start, &c.end, state->code[channel],
                              &c.size);
    FlushCode(state->code, sizeof state->code);
    return c;
}

Call Run(PluginState* state, int channel) {
    uint32_t kept = 0;
    const FaultGuard guard(state->code[0], state->code[0] + sizeof state->code);
    const int32_t value = CallRoutineChecked(state->code[channel], state, &kept);
    return {value, kept != 0};
}

}  // namespace native
