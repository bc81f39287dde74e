// "lumora make" and "lumora export": the filter maker on the command line.
// The work is done by the plug-in's own maker exports (interface/maker_api.h),
// so a filter made here is made exactly as the editor's "Make..." would.
#include <windows.h>

#include <cstdio>

#include "host/commands.h"
#include "host/protocol.h"
#include "interface/maker_api.h"

namespace {

const char* OrNull(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

// Calls the export `name` of the plug-in file `path` through `call`.
template <class Proc, class Call>
int CallMakerExport(const std::string& path, const char* name, Call call) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) return Fail(kExitFailed, "cannot load plug-in " + path);
    // The address is only generic; the header names the call.
    auto proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!proc) {
        FreeLibrary(module);
        return Fail(kExitFailed, MissingExportMessage(path, name));
    }
    char message[kMessageSize] = "";
    int32_t status = call(proc, message, int32_t(sizeof message));
    FreeLibrary(module);
    if (status == kMakerUsage) return UsageError(message);
    if (status != kMakerOk) return Fail(kExitFailed, message);
    if (*message) std::printf("%s\n", message);
    return kExitDone;
}

}  // namespace

int MakeCommand(const Options& o) {
    MakerOptions m{};
    m.size = sizeof m;
    m.settingsPath = o.settings.c_str();
    m.outputPath = o.output.c_str();
    m.title = o.title.c_str();
    m.category = o.category.c_str();
    m.copyright = OrNull(o.copyright);
    m.author = OrNull(o.author);
    for (int i = 0; i < kMapCount; ++i) m.mapLabel[i] = OrNull(o.mapLabel[i]);
    for (int j = 0; j < kSliderCount; ++j) m.sliderLabel[j] = OrNull(o.sliderLabel[j]);
    return CallMakerExport<MakerMakeProc>(
        TinctorPluginPath(o), kMakerMakeExport,
        [&](MakerMakeProc make, char* message, int32_t size) { return make(&m, message, size); });
}

int ExportCommand(const Options& o) {
    int status = CallMakerExport<MakerExportProc>(
        o.from, kMakerExportExport, [&](MakerExportProc write, char* message, int32_t size) {
            return write(o.settings.c_str(), message, size);
        });
    if (status == kExitDone)
        std::printf("%s: the settings of %s\n", o.settings.c_str(), o.from.c_str());
    return status;
}
