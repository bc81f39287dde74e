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

FilterDefinition* OwnDefinition() {
    uint32_t size = 0;
    auto* definition =
        static_cast<FilterDefinition*>(LoadResourceCopy(FourCC("PARM"), IDR_DEFINITION, &size));
    if (definition && size < sizeof(FilterDefinition)) {
        FreeBlock(definition);
        return nullptr;
    }
    return definition;
}

std::string SettingsMessage(SettingsStatus status) {
    int id = status == SettingsStatus::OpenFailed    ? IDS_SETTINGS_OPEN_FAILED
             : status == SettingsStatus::WriteFailed ? IDS_SETTINGS_WRITE_FAILED
                                                     : IDS_SETTINGS_READ_FAILED;
    return FormatStringMessage(id, "");
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
            switch (WritePluginFile(options->outputPath, *copy)) {
            case MakeStatus::Ok:
                status = kMakerOk, error = FormatStringMessage(IDS_FILTER_CREATED, display);
                break;
            case MakeStatus::CopyFailed:
                error = FormatStringMessage(IDS_FILTER_CREATE_FAILED, display);
                break;
            case MakeStatus::WriteFailed:
                error = FormatStringMessage(IDS_FILTER_WRITE_FAILED, display);
                break;
            }
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
