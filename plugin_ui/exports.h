// What the plug-in's command-line exports (the maker's and the formula
// commands') share: they run outside any selector call, so they report in a
// caller's buffer and work on a definition of their own when asked to.
#pragma once
#include <cstdint>
#include <string>

#include "interface/definition.h"
#include "plugin_ui/settings_file.h"

// Copies `text` into the caller's `message` (NUL-terminated, cut to `size`)
// and returns `status`.
int32_t ReportExport(int32_t status, const std::string& text, char* message, int32_t size);

// The message for a settings-file failure (IDS_SETTINGS_OPEN_FAILED ...).
std::string SettingsMessage(SettingsStatus status);
