// Formulas on the command line: the exports behind the host's "check", "fx"
// and "apply --settings" (interface/formula_api.h). The compiler and the
// settings-file codec are the ones the editor runs; nothing here parses a
// formula or a file itself.
#include <windows.h>

#include <cstring>
#include <iterator>

#include "formula/compiler.h"
#include "interface/formula_api.h"
#include "plugin/core/plugin.h"
#include "plugin_ui/exports.h"
#include "plugin_ui/maker.h"
#include "plugin_ui/resource.h"

namespace {

constexpr int32_t kFormulaMax = kFormulaCapacity - 1;  // characters of a formula slot
// A FormulaSet is copied to and from a definition's slots as a whole.
static_assert(sizeof(FormulaSet::formula) == sizeof(FilterDefinition::formula));
static_assert(sizeof(FormulaSet::sliderValue) == sizeof(FilterDefinition::sliderValue));
// Room for any formula that fits a slot: no template takes 256 bytes, and
// every template but the frame needs at least one character.
constexpr int32_t kUnboundedCapacity = kFormulaCapacity * 256;

struct Compiled {
    bool failed;
    int32_t start, end, size;
};

Compiled Compile(const FormulaTables& tables, const char* text, int32_t length, uint8_t* code,
                 int32_t capacity) {
    Compiled c{false, 0, length, capacity};
    c.failed =
        CompileFormula(tables.funcs(), tables.opers(), text, &c.start, &c.end, code, &c.size) != 0;
    return c;
}

// The definition an export works on: the host's (inside its working block)
// or one of our own for this call.
class TargetDefinition {
public:
    explicit TargetDefinition(intptr_t dataHandle)
        : own_(dataHandle == 0),
          definition_(own_ ? OwnDefinition()
                           : reinterpret_cast<PluginState*>(dataHandle)->definition) {}
    ~TargetDefinition() {
        if (own_) FreeBlock(definition_);
    }
    TargetDefinition(const TargetDefinition&) = delete;
    TargetDefinition& operator=(const TargetDefinition&) = delete;
    FilterDefinition* get() const { return definition_; }

private:
    bool own_;
    FilterDefinition* definition_;
};

}  // namespace

extern "C" int32_t __cdecl TinctorCheckFormula(const char* formula, FormulaCheck* result) {
    if (!formula || !result || result->size < int32_t(sizeof(FormulaCheck))) return -1;
    const int32_t length = int32_t(std::strlen(formula));
    *result = FormulaCheck{result->size, kFormulaOk, length, length, 0, kCodeCapacity, kFormulaMax};
    if (length > kFormulaMax) {
        // The editor's field and the definition's slot stop here.
        result->status = kFormulaTooLong;
        result->errorStart = kFormulaMax;
        return result->status;
    }
    const FormulaTables tables;
    uint8_t code[kCodeCapacity];
    Compiled fitted = tables.ok() ? Compile(tables, formula, length, code, kCodeCapacity)
                                  : Compiled{true, 0, 0, 0};
    result->errorStart = fitted.start;
    result->errorEnd = fitted.end;
    result->codeBytes = fitted.size;
    if (!fitted.failed || !tables.ok()) {
        result->status = fitted.failed ? kFormulaSyntax : kFormulaOk;
        return result->status;
    }
    // The compiler reports a full buffer as it reports a syntax error, at the
    // token it could not place. Compiled again with room to spare, a formula
    // that then gets past that token failed by its size.
    auto* room = static_cast<uint8_t*>(AllocBlock(kUnboundedCapacity));
    Compiled unbounded = room ? Compile(tables, formula, length, room, kUnboundedCapacity)
                              : Compiled{true, fitted.start, fitted.end, 0};
    FreeBlock(room);
    bool sameStop =
        unbounded.failed && unbounded.start == fitted.start && unbounded.end == fitted.end;
    result->status = sameStop ? kFormulaSyntax : kFormulaTooBig;
    if (!sameStop) result->codeBytes = unbounded.failed ? -1 : unbounded.size;
    return result->status;
}

extern "C" int32_t __cdecl TinctorLoadSettings(intptr_t dataHandle, const char* path,
                                               FormulaSet* set, char* message, int32_t size) {
    if (!path || (set && set->size < int32_t(sizeof(FormulaSet))))
        return ReportExport(kMakerUsage, "incomplete settings request", message, size);
    TargetDefinition target(dataHandle);
    FilterDefinition* definition = target.get();
    if (!definition)
        return ReportExport(kMakerFailed, FormatStringMessage(IDS_NO_MEMORY, ""), message, size);
    SettingsStatus status = ReadSettingsFile(path, *definition);
    if (status != SettingsStatus::Ok)
        return ReportExport(kMakerFailed, SettingsMessage(status), message, size);
    if (set) {
        std::memcpy(set->sliderValue, definition->sliderValue, sizeof set->sliderValue);
        std::memcpy(set->formula, definition->formula, sizeof set->formula);
    }
    return ReportExport(kMakerOk, "", message, size);
}

extern "C" int32_t __cdecl TinctorUseFormulas(intptr_t dataHandle, const FormulaSet* set,
                                              char* message, int32_t size) {
    if (!set || set->size < int32_t(sizeof(FormulaSet)) || dataHandle == 0)
        return ReportExport(kMakerUsage, "incomplete formula request", message, size);
    FilterDefinition* definition = reinterpret_cast<PluginState*>(dataHandle)->definition;
    if (!definition)
        return ReportExport(kMakerFailed, FormatStringMessage(IDS_NO_MEMORY, ""), message, size);
    for (size_t i = 0; i < std::size(definition->sliderValue); ++i) {
        int32_t v = set->sliderValue[i];
        definition->sliderValue[i] = v < 0 ? 0 : v > 255 ? 255 : v;
    }
    for (int k = 0; k < kChannels; ++k) {
        std::strncpy(definition->formula[k], set->formula[k], kFormulaMax);
        definition->formula[k][kFormulaMax] = '\0';
    }
    return ReportExport(kMakerOk, "", message, size);
}
