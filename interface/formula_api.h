// Formulas on the command line: C exports of the plug-in, beside the maker's
// (maker_api.h), that the host's "check", "fx" and "apply --settings" call
// after loading the plug-in file with LoadLibrary. They run the plug-in's own
// compiler and settings-file codec, so a formula checked here compiles and a
// settings file loads exactly as in the editor.
//
// `dataHandle` is the value the plug-in stored in the host's data handle on
// its first call (its working block): the exports then work on the
// definition the next start compiles and the pass runs. 0 means a definition
// of their own, loaded from the plug-in's "PARM" resource for this call only.
#pragma once
#include <cstdint>

#include "interface/maker_api.h"

// How one formula compiles.
enum FormulaStatus : int32_t {
    kFormulaOk = 0,
    kFormulaSyntax = 1,   // a syntax error at [errorStart, errorEnd)
    kFormulaTooBig = 2,   // the code buffer ran out at [errorStart, errorEnd)
    kFormulaTooLong = 3,  // more characters than a formula slot holds: not compiled
};

struct FormulaCheck {
    int32_t size;    // sizeof(FormulaCheck), set by the caller
    int32_t status;  // FormulaStatus
    // The text range the editor's marker selects, as offsets into the formula;
    // an empty range at the end of the text on success.
    int32_t errorStart, errorEnd;
    // Bytes of the code buffer the routine takes. kFormulaTooBig: the bytes the
    // whole formula would take, or -1 when it also has a syntax error further on.
    int32_t codeBytes;
    int32_t capacity;   // bytes of one channel's code buffer (2048)
    int32_t maxLength;  // characters a formula slot holds (1023)
};

// The slider values and formulas of a definition.
struct FormulaSet {
    int32_t size;            // sizeof(FormulaSet), set by the caller
    int32_t sliderValue[8];  // 0..255
    char formula[4][1024];   // red, green, blue, alpha; NUL-terminated
};

// Compiles `formula` (NUL-terminated) into a scratch code buffer of the size
// of a channel's; returns result->status.
using FormulaCheckProc = int32_t(__cdecl*)(const char* formula, FormulaCheck* result);

// Loads the settings file `path` into the definition of `dataHandle` with the
// editor's "Load..." code and, when `set` is not null, copies what it then
// holds into `set`. A MakerStatus; on failure `message` holds the text of the
// plug-in's message 2001 or 2003 and the definition is unchanged.
using SettingsLoadProc = int32_t(__cdecl*)(intptr_t dataHandle, const char* path, FormulaSet* set,
                                           char* message, int32_t messageSize);

// Puts the slider values and formulas of `set` into the definition of
// `dataHandle` (values clamped to 0..255, formulas cut to 1023 characters).
// A MakerStatus, with a reason in `message` on failure.
using FormulaUseProc = int32_t(__cdecl*)(intptr_t dataHandle, const FormulaSet* set, char* message,
                                         int32_t messageSize);

constexpr char kFormulaCheckExport[] = "TinctorCheckFormula";
constexpr char kSettingsLoadExport[] = "TinctorLoadSettings";
constexpr char kFormulaUseExport[] = "TinctorUseFormulas";
