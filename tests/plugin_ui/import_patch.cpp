#include "tests/plugin_ui/import_patch.h"

#include <cstdint>

namespace {

void Store(void** slot, void* value) {
    DWORD old = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, void* standIn) {
    HMODULE system = GetModuleHandleA(dll);
    original_ = system ? reinterpret_cast<void*>(GetProcAddress(system, function)) : nullptr;
    if (!module || !original_) return;
    auto* base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return;
    // The loader has put the resolved addresses into the slots; ours are
    // the ones that hold the system's function.
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d)
        for (auto* slot = reinterpret_cast<void**>(base + d->FirstThunk); *slot; ++slot)
            if (*slot == original_) slots_.push_back(slot);
    for (void** slot : slots_) Store(slot, standIn);
}

ImportPatch::~ImportPatch() {
    for (void** slot : slots_) Store(slot, original_);
}
