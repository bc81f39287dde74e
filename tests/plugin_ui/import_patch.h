// One function that a module imports, swapped for a stand-in for as long as
// the patch lives: how the tests make the system refuse what it rarely
// refuses (memory, a whole write) and see what the plug-in asks of it (the
// period of a timer).
#pragma once
#include <windows.h>

#include <vector>

class ImportPatch {
public:
    // Points every slot of `module`'s import table that holds `dll`'s
    // `function` at `standIn`.
    ImportPatch(HMODULE module, const char* dll, const char* function, void* standIn);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return !slots_.empty(); }
    // The system's function, for the stand-in to pass calls on to.
    template <class Function>
    Function Original() const {
        return reinterpret_cast<Function>(original_);
    }

private:
    void* original_ = nullptr;
    std::vector<void**> slots_;
};
