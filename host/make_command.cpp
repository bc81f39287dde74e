#include "host/make_command.h"

#include <windows.h>

#include <cstdio>

#include "host/cli.h"
#include "interface/maker_api.h"

namespace {

constexpr char kDefaultFrom[] = "TinctorEditor.lmf";

int Usage(const std::string& error) {
    std::fprintf(stderr, "lumora: %s\nTry 'lumora --help'.\n", error.c_str());
    return 2;
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "lumora: %s\n", error.c_str());
    return 2;
}

// "J=LABEL" with J in 0..count-1.
bool ParseIndexed(const std::string& text, int count, int& index, std::string& label) {
    size_t eq = text.find('=');
    if (eq != 1 || text[0] < '0' || text[0] >= char('0' + count)) return false;
    index = text[0] - '0';
    label = text.substr(eq + 1);
    return true;
}

std::string PluginFolder(const MakeCommand& c) {
    if (!c.pluginDir.empty()) return c.pluginDir;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n < MAX_PATH ? n : 0);
    size_t slash = exe.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "\\plugins";
}

const char* OrNull(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

}  // namespace

bool IsMakerCommand(const std::string& word) { return word == "make" || word == "export"; }

MakeParse ParseMakeCommand(const std::vector<std::string>& args) {
    MakeParse r;
    MakeCommand& c = r.command;
    c.isExport = args[0] == "export";
    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool takesValue = a == "--title" || a == "--category" || a == "--copyright" ||
                          a == "--author" || a == "--slider" || a == "--map" || a == "--from" ||
                          a == "--plugins";
        if (takesValue && c.isExport && a != "--plugins") {
            r.error = a + " belongs to the make command";
            return r;
        }
        if (takesValue && i + 1 >= args.size()) {
            r.error = a + " needs a value";
            return r;
        }
        if (!takesValue) {
            if (a.size() > 1 && a[0] == '-') {
                r.error = "unknown option '" + a + "'";
                return r;
            }
            positional.push_back(a);
            continue;
        }
        const std::string& v = args[++i];
        int index = 0;
        std::string label;
        if (a == "--title") c.title = v;
        else if (a == "--category") c.category = v;
        else if (a == "--copyright") c.copyright = v;
        else if (a == "--author") c.author = v;
        else if (a == "--from") c.from = v;
        else if (a == "--plugins") c.pluginDir = v;
        else if (a == "--slider" || a == "--map") {
            bool map = a == "--map";
            if (!ParseIndexed(v, map ? 4 : 8, index, label)) {
                r.error = "bad " + a + " '" + v + "' (expected " +
                          (map ? "I=LABEL with I in 0..3" : "J=LABEL with J in 0..7") + ")";
                return r;
            }
            auto& slot = map ? c.mapLabel[index] : c.sliderLabel[index];
            if (slot) {
                r.error = a + " " + std::to_string(index) + " is given twice";
                return r;
            }
            slot = label;
        }
    }
    if (c.isExport) {
        if (positional.size() != 2) {
            r.error = "export needs a plug-in file and a settings file to write";
            return r;
        }
        c.from = positional[0];
        c.settings = positional[1];
        return r;
    }
    if (positional.size() != 2) {
        r.error = "make needs a settings file and a plug-in file to write";
        return r;
    }
    c.settings = positional[0];
    c.output = positional[1];
    if (c.title.empty()) r.error = "--title TEXT is required";
    else if (c.category.empty()) r.error = "--category TEXT is required";
    return r;
}

int RunMakerCommand(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            std::fputs(kUsageText, stdout);
            return 0;
        }
    MakeParse parsed = ParseMakeCommand(args);
    if (!parsed.error.empty()) return Usage(parsed.error);
    const MakeCommand& c = parsed.command;
    std::string from = c.from.empty() ? PluginFolder(c) + "\\" + kDefaultFrom : c.from;
    HMODULE module = LoadLibraryA(from.c_str());
    if (!module) return Fail("cannot load plug-in " + from);
    const char* name = c.isExport ? kMakerExportExport : kMakerMakeExport;
    void* proc = reinterpret_cast<void*>(GetProcAddress(module, name));
    if (!proc) {
        FreeLibrary(module);
        return Fail(from + " is not a Tinctor plug-in (it has no export '" + name + "')");
    }
    char message[512] = "";
    int32_t status;
    if (c.isExport) {
        status =
            reinterpret_cast<MakerExportProc>(proc)(c.settings.c_str(), message, sizeof message);
    } else {
        MakerOptions o{};
        o.size = sizeof o;
        o.settingsPath = c.settings.c_str();
        o.outputPath = c.output.c_str();
        o.title = c.title.c_str();
        o.category = c.category.c_str();
        o.copyright = OrNull(c.copyright);
        o.author = OrNull(c.author);
        for (int i = 0; i < 4; ++i) o.mapLabel[i] = OrNull(c.mapLabel[i]);
        for (int j = 0; j < 8; ++j) o.sliderLabel[j] = OrNull(c.sliderLabel[j]);
        status = reinterpret_cast<MakerMakeProc>(proc)(&o, message, sizeof message);
    }
    FreeLibrary(module);
    if (status == kMakerUsage) return Usage(message);
    if (status != kMakerOk) return Fail(message);
    if (c.isExport) std::printf("%s: the settings of %s\n", c.settings.c_str(), from.c_str());
    else std::printf("%s\n", message);
    return 0;
}
