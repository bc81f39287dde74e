// The maker on the command line: the host's "make" and "export" commands
// load a plug-in file and call these two exports. They run outside any
// selector call, so they work on a definition of their own loaded from our
// "PARM" resource, with the same codec and patching as the dialogs.
#include <windows.h>

#include <cstring>
#include <string>

#include "interface/maker_api.h"
#include "plugin/core/plugin.h"
#include "plugin_ui/exports.h"
#include "plugin_ui/maker.h"
#include "plugin_ui/maker_options.h"
#include "plugin_ui/resource.h"
#include "plugin_ui/settings_file.h"

int32_t ReportExport(int32_t status, const std::string& text, char* message, int32_t size) {
    if (message && size > 0) {
        size_t n = text.size() < size_t(size) ? text.size() : size_t(size) - 1;
        std::memcpy(message, text.data(), n);
        message[n] = '\0';
    }
    return status;
}

std::string SettingsMessage(SettingsStatus status) {
    return FormatStringMessage(MessageIdOf(status), "");
}

extern "C" int32_t __cdecl TinctorMake(const MakerOptions* options, char* message, int32_t size) {
    if (!options || options->size < int32_t(sizeof(MakerOptions)) || !options->settingsPath ||
        !options->outputPath)
        return ReportExport(kMakerUsage, "incomplete maker options", message, size);
    FilterDefinition* copy = OwnDefinition();
    if (!copy)
        return ReportExport(kMakerFailed, FormatStringMessage(IDS_NO_MEMORY, ""), message, size);
    std::string error = ApplyMakerOptions(*options, *copy);
    int32_t status = kMakerUsage;
    if (error.empty()) {
        status = kMakerFailed;
        SettingsStatus read = ReadSettingsFile(options->settingsPath, *copy);
        std::string display = FileNameOf(options->outputPath);
        if (read != SettingsStatus::Ok) {
            error = SettingsMessage(read);
        } else {
            const MakeStatus made = WritePluginFile(options->outputPath, *copy);
            if (made == MakeStatus::Ok) status = kMakerOk;
            error = FormatStringMessage(MessageIdOf(made), display);
        }
    }
    FreeBlock(copy);
    return ReportExport(status, error, message, size);
}

extern "C" int32_t __cdecl TinctorExport(const char* outputPath, char* message, int32_t size) {
    if (!outputPath) return ReportExport(kMakerUsage, "no output file", message, size);
    FilterDefinition* definition = OwnDefinition();
    if (!definition)
        return ReportExport(kMakerFailed, FormatStringMessage(IDS_NO_MEMORY, ""), message, size);
    SettingsStatus status = WriteSettingsFile(outputPath, *definition);
    FreeBlock(definition);
    if (status != SettingsStatus::Ok)
        return ReportExport(kMakerFailed, SettingsMessage(status), message, size);
    return ReportExport(kMakerOk, "", message, size);
}
