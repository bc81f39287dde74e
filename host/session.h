// One loaded plug-in and everything the host keeps for it: the library, the
// data handle the plug-in stores its working block in, the host record with
// its callbacks, and the host's main window that owns the plug-in's dialogs.
// Ending the session frees the working block and unloads the library, so the
// plug-in file is free to be replaced or deleted afterwards.
#pragma once
#include <cstdint>
#include <string>

#include "host/host_window.h"
#include "interface/host_record.h"

struct PluginRef {
    std::string path;
    std::string entryName;  // from the property list's "wx86"
    std::string menuName;
};

// What the plug-in may ask of the host while one of its calls runs. The
// session hands the callbacks of the record to the services of the call in
// progress; outside a call they answer "stop" and "cannot".
class HostServices {
public:
    virtual bool AbortRequested() = 0;
    virtual void Progress(int32_t done, int32_t total) = 0;
    // Fills the buffers for the areas the record requests; 0 on success.
    virtual int16_t AdvanceState() = 0;

protected:
    ~HostServices() = default;
};

class PluginSession {
public:
    PluginSession();
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // Loads the plug-in and finds its entry point. With `needWindow` the
    // host's main window must come up (it owns a dialog the plug-in is about
    // to show); otherwise it is made when possible. False with one line for
    // the user in `error`.
    bool Load(const PluginRef& plugin, bool needWindow, std::string& error);

    // Calls the entry point with `selector`; `services` answers the record's
    // callbacks for the duration of the call.
    int16_t Call(int16_t selector, HostServices& services);

    // The loaded plug-in's export `name`, or null.
    void* FindExport(const char* name) const;

    HostRecord& record() { return record_; }
    // The plug-in's data handle: 0 until its first call stores its block.
    intptr_t dataHandle() const { return data_; }
    void* mainWindow() const { return window_.handle(); }

private:
    void Unload();

    HostWindow window_;       // outlives the library: destroyed last
    void* module_ = nullptr;  // HMODULE
    PluginEntryProc entry_ = nullptr;
    intptr_t data_ = 0;
    HostRecord record_{};
    HostPlatformData platform_{};
};

// The selector of the plug-in call in progress ("start", ...), or null.
const char* RunningSelector();
