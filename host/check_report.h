// How "lumora check" (and fx, for a formula that does not compile) shows the
// plug-in's verdict on one formula: one line saying how it compiles, and for
// a failure the formula's line with a caret line under the range the
// editor's marker would select, as a compiler shows an error. No Win32.
#pragma once
#include <string>

#include "interface/formula_api.h"

// "LABEL: ok, 23 of 2048 code bytes", or the failure with its two lines
// below; every line ends in "\n".
std::string DescribeCheck(const std::string& label, const std::string& formula,
                          const FormulaCheck& check);
