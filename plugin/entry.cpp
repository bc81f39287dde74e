// ENTRYPOINT1: the host's one way into the plug-in.
//
// The host calls us with a selector, its parameter record, the address of a
// 32-bit data handle it keeps for us (0 at first) and the address of a 16-bit
// result. The first call of any selector allocates the PluginState and loads
// the filter definition from our "PARM" resource; both live as long as the
// host keeps the handle.
//
// This is the top of the plug-in: start and about hand over to the dialogs
// (plugin_ui/), everything else to the core (plugin/core/).
#include <windows.h>
#include "plugin/core/area.h"
#include "plugin/core/plugin.h"
#include "plugin_ui/dialogs.h"

namespace {

int16_t DoParameters() {
    gState->dialogRequested = 1;
    BuildTrigTables();
    return kResultOk;
}

int16_t DoPrepare() {
    gHost->bufferSpace = kPluginBufferSpace;
    gHost->inLoPlane = 0;
    // The transparency plane is processed only when the input is a layer that
    // carries one and the output keeps it.
    bool alpha = gHost->inLayerPlanes && gHost->inTransparentIndex && gHost->outTransparentIndex;
    gHost->inHiPlane = alpha ? 3 : 2;
    gHost->outLoPlane = gHost->inLoPlane;
    gHost->outHiPlane = gHost->inHiPlane;
    return kResultOk;
}

int16_t DoStart() {
    // Compiled code must be able to run where it is written; if the system
    // refuses, nothing is shown and nothing runs.
    if (!MakeCodeExecutable(gState)) return kResultOutOfMemory;
    bool accepted = true;
    if (gState->dialogRequested) {
        if (gDefinition->madeFilter == 0) {
            accepted = RunEditorDialog();
        } else {
            accepted = RunMadeFilterDialog();
            // Without a dialog nobody has compiled the formulas yet.
            if (gDefinition->hasDialog == 0) CompileChannelFormulas();
        }
        gState->dialogRequested = 0;
    } else {
        CompileChannelFormulas();
    }
    if (!accepted) return kResultCancelled;
    CopyArea(gHost->inArea, gHost->filterArea);
    CopyArea(gHost->outArea, gHost->filterArea);
    PrepareRun();
    return kResultOk;
}

int16_t DoContinue() {
    int16_t code = kResultOutOfMemory;
    if (MakeCodeExecutable(gState)) code = RunFilter(RunMode::Host) ? kResultOk : kResultCancelled;
    // Empty areas tell the host that nothing more is wanted, whatever the outcome.
    ClearArea(gHost->inArea);
    ClearArea(gHost->outArea);
    return code;
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl ENTRYPOINT1(int32_t selector, HostRecord* record,
                                                          intptr_t* data, int16_t* result) {
    *result = kResultOutOfMemory;
    if (*data == 0) {
        auto* block = static_cast<PluginState*>(AllocBlock(sizeof(PluginState)));
        if (!block) return;
        // Until the first compile no channel has a routine (codeSize 0): a
        // continue without a start calls none of them and writes 0.
        MakeCodeExecutable(block);
        FlushCode(block);
        *data = reinterpret_cast<intptr_t>(block);
    }
    auto* state = reinterpret_cast<PluginState*>(*data);
    if (!state->definition) {
        state->definition = OwnDefinition();
        if (!state->definition) return;  // tried again on the next call
    }
    gHost = record;
    gState = state;
    gDefinition = state->definition;

    int16_t code;
    switch (int16_t(selector)) {
    case kSelectorAbout:
        RunAboutBox();
        code = kResultOk;
        break;
    case kSelectorParameters: code = DoParameters(); break;
    case kSelectorPrepare: code = DoPrepare(); break;
    case kSelectorStart: code = DoStart(); break;
    case kSelectorContinue: code = DoContinue(); break;
    case kSelectorFinish: code = kResultOk; break;
    default: code = kResultBadSelector; break;
    }
    *result = code;

    gHost = nullptr;
    gState = nullptr;
    gDefinition = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gModule = instance;
    return TRUE;
}
