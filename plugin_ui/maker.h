// The filter maker's file work, shared by "Make..." and the command line.
#pragma once
#include <string>

#include "interface/definition.h"

enum class MakeStatus {
    Ok,
    // Our own file could not be copied, or the target cannot be replaced:
    // IDS_FILTER_CREATE_FAILED.
    CopyFailed,
    // Opening, mapping, a search or the final rename failed: IDS_FILTER_WRITE_FAILED.
    WriteFailed,
};

// Copies our own module file beside `target` under a temporary name, patches
// the copy's menu name, category and definition block from `copy` (whose
// madeFilter is set first) and renames it over `target`. Leaves a complete
// new file or none; an existing `target` stays as it was unless replaced by
// a complete file, and one that cannot be replaced is not touched at all.
MakeStatus WritePluginFile(const std::string& target, FilterDefinition& copy);

// The string that tells the user of `status` (IDS_FILTER_CREATED for Ok).
int MessageIdOf(MakeStatus status);

// String `id` with `argument` put in place of its "%s"; "" when the string
// is missing.
std::string FormatStringMessage(int id, const std::string& argument);

// That text in a message box of `type` owned by the open dialog, captioned
// with the current definition's title. A missing string beeps and gives
// IDCANCEL.
int ShowFormattedMessage(int id, const char* argument, unsigned type);
