#include "host/session.h"

#include <windows.h>

#include "host/buffers.h"
#include "host/display.h"
#include "host/pixmap.h"
#include "host/protocol.h"

namespace {

// The callbacks take no context: the services of the call in progress are
// reachable only while that call runs.
HostServices* gServices = nullptr;
int16_t gRunningSelector = -1;

class CallScope {
public:
    CallScope(HostServices& services, int16_t selector)
        : services_(gServices), selector_(gRunningSelector) {
        gServices = &services;
        gRunningSelector = selector;
    }
    ~CallScope() {
        gServices = services_;
        gRunningSelector = selector_;
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    HostServices* services_;
    int16_t selector_;
};

uint8_t __cdecl AbortProc() { return !gServices || gServices->AbortRequested() ? 1 : 0; }

void __cdecl ProgressProc(int32_t done, int32_t total) {
    if (gServices) gServices->Progress(done, total);
}

int16_t __cdecl AdvanceProc() { return gServices ? gServices->AdvanceState() : kAdvanceRefused; }

std::string LastErrorText() {
    DWORD code = GetLastError();
    char text[256] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, sizeof text, nullptr);
    while (n > 0 &&
           (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ' || text[n - 1] == '.'))
        text[--n] = '\0';
    return n ? std::string(text) : "error " + std::to_string(code);
}

// The plug-in keeps its working block in locked movable global memory and
// leaves the freeing to whoever keeps the data handle.
void FreeDataBlock(intptr_t data) {
    if (!data) return;
    HGLOBAL block = GlobalHandle(reinterpret_cast<void*>(data));
    if (!block || GlobalFlags(block) == GMEM_INVALID_HANDLE) return;
    while (GlobalFlags(block) & GMEM_LOCKCOUNT) GlobalUnlock(block);
    GlobalFree(block);
}

}  // namespace

const char* RunningSelector() {
    return gRunningSelector < 0 ? nullptr : SelectorName(gRunningSelector);
}

PluginSession::PluginSession() {
    record_.platformData = &platform_;
    record_.abortProc = AbortProc;
    record_.progressProc = ProgressProc;
    record_.advanceState = AdvanceProc;
    record_.displayPixels = DisplayPixels;
    record_.imageMode = kImageModeRGB;
    record_.inputRate = kRateOne;
    record_.maskRate = kRateOne;
    record_.inputPadding = record_.outputPadding = record_.maskPadding = kPadRepeatEdge;
}

PluginSession::~PluginSession() { Unload(); }

void PluginSession::Unload() {
    FreeDataBlock(data_);
    data_ = 0;
    entry_ = nullptr;
    if (module_) FreeLibrary(static_cast<HMODULE>(module_));
    module_ = nullptr;
}

bool PluginSession::Load(const PluginRef& plugin, bool needWindow, std::string& error) {
    Unload();
    if (!window_.Create() && needWindow) {
        error = "no display: " + plugin.menuName + " needs one for its dialog";
        return false;
    }
    platform_.mainWindow = window_.handle();
    HMODULE module = LoadLibraryA(plugin.path.c_str());
    if (!module) {
        error = "cannot load plug-in " + plugin.path + ": " + LastErrorText();
        return false;
    }
    module_ = module;
    // FARPROC is only a generic address; the property list names a cdecl entry.
    entry_ = reinterpret_cast<PluginEntryProc>(
        reinterpret_cast<void*>(GetProcAddress(module, plugin.entryName.c_str())));
    if (!entry_) {
        error =
            "cannot load plug-in " + plugin.path + ": it has no export '" + plugin.entryName + "'";
        Unload();
        return false;
    }
    return true;
}

int16_t PluginSession::Call(int16_t selector, HostServices& services) {
    int16_t result = 0;
    CallScope scope(services, selector);
    // The record's first field is the about selector's own platform data.
    record_.aboutPlatform = selector == kSelectorAbout ? &platform_ : nullptr;
    entry_(selector, &record_, &data_, &result);
    return result;
}

void* PluginSession::FindExport(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name));
}
