#include "tests/plugin_ui/import_patch.h"

#include <cstdint>

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, void* standIn) {
    HMODULE system = GetModuleHandleA(dll);
    original_ = system ? reinterpret_cast<void*>(GetProcAddress(system, function)) : nullptr;
    if (!module || !original_) return;
    auto* base = reinterpret_cast<uint8_t*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    // The loader has put the resolved addresses into the slots: ours holds the
    // system's function.
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         imports && d->Name && !slot_; ++d)
        for (auto* slot = reinterpret_cast<void**>(base + d->FirstThunk); *slot && !slot_; ++slot)
            if (*slot == original_) slot_ = slot;
    Store(standIn);
}

void ImportPatch::Store(void* value) {
    DWORD old = 0;
    if (!slot_ || !VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old)) return;
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
}
