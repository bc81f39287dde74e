// Process-wide state of the plug-in and the small services every part uses.
//
// For the duration of one ENTRYPOINT1 call the three call pointers below are
// set; every other routine (dialogs, compiler, image pass, message boxes)
// reaches the current host record, state block and definition through them.
#pragma once
#include <cstddef>
#include <cstdint>
#include "formula/compiler.h"
#include "interface/definition.h"
#include "interface/host_record.h"
#include "interface/property_list.h"
#include "interface/state.h"

struct HINSTANCE__;

extern HINSTANCE__* gModule;  // our own module: resources, dialogs, strings
extern HostRecord* gHost;
extern PluginState* gState;
extern FilterDefinition* gDefinition;

// Zero-filled movable global memory, locked for its whole life.
void* AllocBlock(uint32_t bytes);
void FreeBlock(void* block);

// A fresh copy of one of our own resources (caller frees with FreeBlock), or null.
void* LoadResourceCopy(uint32_t type, int id, uint32_t* size = nullptr);

// Our FUNC and OPER tables, loaded for the life of the object.
class FormulaTables {
public:
    FormulaTables();
    ~FormulaTables();
    FormulaTables(const FormulaTables&) = delete;
    FormulaTables& operator=(const FormulaTables&) = delete;
    bool ok() const { return funcs_ && opers_; }
    ByteTable funcs() const { return {funcs_, funcSize_}; }
    ByteTable opers() const { return {opers_, operSize_}; }

private:
    uint32_t funcSize_ = 0, operSize_ = 0;
    uint8_t* funcs_;
    uint8_t* opers_;
};

// Our own definition as the "PARM" resource holds it (null when missing or
// short); freed with FreeBlock.
FilterDefinition* OwnDefinition();

// The string-table text `id` in a stop-icon message box captioned with the
// definition's title, owned by the open dialog or the host's main window.
int ShowErrorBox(int id);
// `text` in a message box of `type` (MB_ flags), captioned and owned as above.
int ShowMessage(const char* text, unsigned type);

// Texts of the definition end at their NUL or at the end of their slot: a
// definition without terminators is never read past a slot. Copies one text
// into `out` (slotSize + 1 bytes), NUL-terminated.
void CopySlotText(char* out, const char* slot, size_t slotSize);

// Makes the code buffers of a state block executable (false when the system
// refuses), and makes freshly written code visible to the processor.
bool MakeCodeExecutable(PluginState* state);
void FlushCode(PluginState* state);

// The preview's stop test: a keystroke is waiting in this thread's queue.
bool KeyWaiting();

// What the selectors hand over to the core.
void BuildTrigTables();         // parameters
void CompileChannelFormulas();  // start without dialog; every compile of the four
                                // formulas goes through it
void PrepareRun();              // start
enum class RunMode { Host, Preview };
bool RunFilter(RunMode mode);  // continue; the dialogs' previews

// The pass itself, on explicit objects: `keyWaiting` is the preview's stop
// test (asked once a row in preview mode). RunFilter passes the call
// pointers and KeyWaiting.
bool RunPass(PluginState* state, HostRecord* host, RunMode mode, bool (*keyWaiting)());
