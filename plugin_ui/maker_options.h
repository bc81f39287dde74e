// The Build Filter dialog's rules for the command-line maker: what the dialog
// would have put into the maker's copy of the definition, from options given
// as text. Free of Win32.
#pragma once
#include <string>

#include "interface/definition.h"
#include "interface/maker_api.h"

// Fills category, title, copyright, author, the labels and the shown flags
// of `copy` as the dialog's OK would, with hasDialog set exactly when a map
// or a slider is shown. Returns an empty text, or what breaks the dialog's
// rules (then `copy` is unchanged): an empty or too long title or category,
// a text longer than its field, a map shown together with a slider of its
// pair.
std::string ApplyMakerOptions(const MakerOptions& options, FilterDefinition& copy);
