// Settings files on disk: the codec of settings_codec.h with Win32 files,
// shared by the editor's "Save..." and "Load..." and the command-line maker.
#pragma once
#include <string>

#include "interface/definition.h"

enum class SettingsStatus {
    Ok,
    OpenFailed,   // cannot be opened or created, or cannot be replaced: IDS_SETTINGS_OPEN_FAILED
    WriteFailed,  // a write or the final rename failed: IDS_SETTINGS_WRITE_FAILED
    ReadFailed,   // wrong magic or a line ends early: IDS_SETTINGS_READ_FAILED
};

// The string that tells the user of a failed `status`.
int MessageIdOf(SettingsStatus status);

// Writes the slider values and formulas of `definition` to `path`. The file
// is written under a temporary name beside `path` and renamed over it, so a
// failure leaves an existing file as it was and no new file.
SettingsStatus WriteSettingsFile(const char* path, const FilterDefinition& definition);

// Reads `path` into the slider values and formulas of `definition`; on
// failure `definition` is unchanged.
SettingsStatus ReadSettingsFile(const char* path, FilterDefinition& definition);

// The folder of `path` (with its trailing separator), or "" when it has none.
std::string FolderOf(const std::string& path);
// `path` without its folder.
std::string FileNameOf(const std::string& path);

// A fresh, empty file beside `target` with a unique name, to be written and
// then moved over `target`; "" when none can be created, or when `target`
// exists but may not be replaced (a folder, a read-only file, or a file that
// someone holds open without letting us write or delete it).
std::string ReplacementBeside(const std::string& target, const char* prefix);

// The full path of our own module file.
std::string OwnModulePath();

// The filter list of the file dialogs from IDS_FILE_FILTER (its last character
// is the separator), double-NUL-terminated; left untouched when the string
// is missing.
void LoadFileFilter(char* buffer);  // 256 characters
// The drive and directory of our own module file.
void PluginDirectory(char* buffer);  // 256 characters
