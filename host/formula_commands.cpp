// "lumora check", "lumora fx" and "lumora apply --settings": formulas and
// settings files from the command line. The host compiles nothing and reads
// no settings file itself: the Tinctor plug-in's exports do
// (interface/formula_api.h), in a copy of the plug-in loaded for the checks
// and in the session that runs the pass.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/check_report.h"
#include "host/commands.h"
#include "host/image_files.h"
#include "host/protocol.h"
#include "interface/formula_api.h"

namespace {

constexpr const char* kChannelLabel[kChannelCount] = {"red", "green", "blue", "alpha"};
constexpr char kKeepAlpha[] = "a";

struct TinctorExports {
    FormulaCheckProc check = nullptr;
    SettingsLoadProc loadSettings = nullptr;
    FormulaUseProc useFormulas = nullptr;
};

// Finds the exports through `lookup` (name to address); empty, or why not.
template <class Lookup>
std::string FindExports(Lookup lookup, const std::string& path, TinctorExports& e) {
    // The addresses are only generic; the header names the calls.
    e.check = reinterpret_cast<FormulaCheckProc>(lookup(kFormulaCheckExport));
    e.loadSettings = reinterpret_cast<SettingsLoadProc>(lookup(kSettingsLoadExport));
    e.useFormulas = reinterpret_cast<FormulaUseProc>(lookup(kFormulaUseExport));
    const char* missing = !e.check          ? kFormulaCheckExport
                          : !e.loadSettings ? kSettingsLoadExport
                          : !e.useFormulas  ? kFormulaUseExport
                                            : nullptr;
    if (!missing) return {};
    return MissingExportMessage(path, missing);
}

// A Tinctor plug-in file loaded for its exports, outside any session.
class TinctorLibrary {
public:
    TinctorLibrary() = default;
    ~TinctorLibrary() {
        if (module_) FreeLibrary(module_);
    }
    TinctorLibrary(const TinctorLibrary&) = delete;
    TinctorLibrary& operator=(const TinctorLibrary&) = delete;

    // 0, or the exit status after saying why not.
    int Load(const std::string& path) {
        module_ = LoadLibraryA(path.c_str());
        if (!module_) return Fail(kExitFailed, "cannot load plug-in " + path);
        std::string error = FindExports(
            [this](const char* name) {
                return reinterpret_cast<void*>(GetProcAddress(module_, name));
            },
            path, exports_);
        return error.empty() ? 0 : Fail(kExitFailed, error);
    }

    FormulaCheck Check(const std::string& formula) const {
        FormulaCheck c{};
        c.size = sizeof c;
        exports_.check(formula.c_str(), &c);
        return c;
    }

    // The slider values and formulas of a settings file, read into a
    // definition of the plug-in's own; 0, or the exit status after the
    // plug-in's message (2001, 2003).
    int ReadSettings(const std::string& path, FormulaSet& set) const {
        set.size = sizeof set;
        char message[kMessageSize] = "";
        if (exports_.loadSettings(0, path.c_str(), &set, message, sizeof message) == kMakerOk)
            return 0;
        return Fail(kExitFailed, message);
    }

private:
    HMODULE module_ = nullptr;
    TinctorExports exports_;
};

struct LabelledFormula {
    std::string label, text;
};

// Prints the report of every formula that does not compile to standard
// error, each line after `prefix`; true when all compile.
bool ReportFailures(const TinctorLibrary& library, const std::vector<LabelledFormula>& formulas,
                    const std::string& prefix) {
    bool all = true;
    for (const LabelledFormula& f : formulas) {
        FormulaCheck c = library.Check(f.text);
        if (c.status == kFormulaOk) continue;
        all = false;
        std::string report = DescribeCheck(f.label, f.text, c);
        for (size_t at = 0, next; at < report.size(); at = next + 1) {
            next = report.find('\n', at);
            std::fprintf(stderr, "%s%s\n", prefix.c_str(), report.substr(at, next - at).c_str());
        }
    }
    return all;
}

// Hands the plug-in of the session its formulas and slider values: fx's, or
// those a settings file held when the command read it.
class TinctorSetup final : public RunSetup {
public:
    TinctorSetup(const std::string& plugin, const FormulaSet& set) : plugin_(plugin), set_(set) {}

    std::string Apply(PluginSession& session) override {
        TinctorExports e;
        std::string error =
            FindExports([&](const char* name) { return session.FindExport(name); }, plugin_, e);
        if (!error.empty()) return error;
        char message[kMessageSize] = "";
        int32_t status = e.useFormulas(session.dataHandle(), &set_, message, sizeof message);
        return status == kMakerOk ? "" : message;
    }

private:
    std::string plugin_;
    FormulaSet set_{};
};

}  // namespace

int CheckCommand(const Options& o) {
    TinctorLibrary library;
    if (int status = library.Load(TinctorPluginPath(o))) return status;
    std::vector<LabelledFormula> formulas;
    if (!o.settings.empty()) {
        FormulaSet set;
        if (int status = library.ReadSettings(o.settings, set)) return status;
        for (int k = 0; k < kChannelCount; ++k)
            formulas.push_back({kChannelLabel[k], set.formula[k]});
    } else {
        for (size_t i = 0; i < o.formulas.size(); ++i)
            formulas.push_back({"formula " + std::to_string(i + 1), o.formulas[i]});
    }
    int status = kExitDone;
    for (const LabelledFormula& f : formulas) {
        FormulaCheck c = library.Check(f.text);
        std::fputs(DescribeCheck(f.label, f.text, c).c_str(), stdout);
        if (c.status != kFormulaOk) status = kExitFailed;
    }
    return status;
}

int FxCommand(const Options& o) {
    if (int status = CheckDestination(o)) return status;
    std::string path = TinctorPluginPath(o);
    FilterPlan plan;
    if (int status = PluginAt(path, plan.plugin)) return status;
    TinctorLibrary library;
    if (int status = library.Load(path)) return status;

    FormulaSet set{};
    set.size = sizeof set;
    std::vector<LabelledFormula> given;
    bool expressionUsed = false;
    for (int k = 0; k < kChannelCount; ++k) {
        const std::optional<std::string>& own = o.channel[k];
        if (own) given.push_back({kChannelLabel[k], *own});
        expressionUsed |= !own && k < 3;
        std::string text = own ? *own : k < 3 ? o.expression : kKeepAlpha;
        // A formula too long for a slot fails the check below; nothing is cut.
        text.copy(set.formula[k], sizeof set.formula[k] - 1);
    }
    if (expressionUsed) given.insert(given.begin(), {"formula", o.expression});
    if (!ReportFailures(library, given, "lumora: ")) return kExitFailed;
    for (int i = 0; i < kSliderCount; ++i) set.sliderValue[i] = o.sliderValue[i];

    TinctorSetup setup(path, set);
    plan.repeat = true;
    plan.setup = &setup;
    plan.label = "fx";
    return FilterImageFiles(o, plan);
}

int ApplySettingsCommand(const Options& o) {
    if (int status = CheckDestination(o)) return status;
    FilterPlan plan;
    if (int status = FindFilter(o, o.filter.empty() ? kDefaultTinctorFile : o.filter, plan.plugin))
        return status;
    TinctorLibrary library;
    if (int status = library.Load(plan.plugin.path)) return status;
    // Read once before any image: a file that does not load stops the run.
    FormulaSet set;
    if (int status = library.ReadSettings(o.settings, set)) return status;
    std::vector<LabelledFormula> formulas;
    for (int k = 0; k < kChannelCount; ++k) formulas.push_back({kChannelLabel[k], set.formula[k]});
    // As in the editor, a formula that does not compile loads all the same
    // and its channel comes out 0; the user hears of it.
    ReportFailures(library, formulas, "warning: ");

    TinctorSetup setup(plan.plugin.path, set);  // the file is not read again per image
    plan.repeat = true;
    plan.setup = &setup;
    plan.label = plan.plugin.menuName;
    return FilterImageFiles(o, plan);
}
