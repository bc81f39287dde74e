// One function that a module imports, pointed at a stand-in while the patch
// lives: how the tests make the system refuse what it rarely refuses (memory,
// a whole write) and see what the plug-in asks of it (a timer's period).
#pragma once
#include <windows.h>

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* standIn);
    ~ImportPatch() { Store(original_); }
    bool Active() const { return slot_ != nullptr; }
    // The system's function, for the stand-in to pass calls on to.
    template <class Function>
    Function Original() const {
        return reinterpret_cast<Function>(original_);
    }

private:
    void Store(void* value);
    void* original_ = nullptr;
    void** slot_ = nullptr;
};
