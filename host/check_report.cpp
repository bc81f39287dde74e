#include "host/check_report.h"

#include <algorithm>

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::string DescribeCheck(const std::string& label, const std::string& formula,
                          const FormulaCheck& check) {
    const std::string capacity = std::to_string(check.capacity);
    if (check.status == kFormulaOk)
        return label + ": ok, " + std::to_string(check.codeBytes) + " of " + capacity +
               " code bytes\n";
    const size_t length = formula.size();
    const size_t start = std::min(size_t(std::max(check.errorStart, 0)), length);
    const size_t end = std::clamp(size_t(std::max(check.errorEnd, 0)), start, length);

    // The line of the formula the range starts in; CR LF is one line break.
    size_t lineStart = start, line = 1;
    while (lineStart > 0 && !IsBreak(formula[lineStart - 1])) --lineStart;
    for (size_t i = 0; i < lineStart; ++i)
        line += formula[i] == '\n' || (formula[i] == '\r' && formula[i + 1] != '\n');
    size_t lineEnd = start;
    while (lineEnd < length && !IsBreak(formula[lineEnd])) ++lineEnd;
    bool oneLine = std::none_of(formula.begin(), formula.end(), IsBreak);
    std::string where = (oneLine ? "" : "line " + std::to_string(line) + ", ") + "column " +
                        std::to_string(start - lineStart + 1);

    std::string head = label + ": ";
    switch (check.status) {
    case kFormulaTooBig:
        head += "too big for the code buffer: it needs " +
                (check.codeBytes >= 0 ? std::to_string(check.codeBytes) + " of its "
                                      : std::string("more than its ")) +
                capacity + " bytes, which run out at " + where;
        break;
    case kFormulaTooLong:
        head += std::to_string(length) + " characters, more than the " +
                std::to_string(check.maxLength) + " a formula holds; the rest starts at " + where;
        break;
    default:
        head += "syntax error at " + where + (start == length ? ", the end of the formula" : "");
        break;
    }
    // Tabs stay tabs under the formula so that the caret lines up.
    std::string caret;
    for (size_t i = lineStart; i < start; ++i) caret += formula[i] == '\t' ? '\t' : ' ';
    caret.append(std::max<size_t>(1, std::min(end, lineEnd) - start), '^');
    return head + ":\n  " + formula.substr(lineStart, lineEnd - lineStart) + "\n  " + caret + "\n";
}
