#include "host/commands.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/catalog.h"
#include "host/host_window.h"
#include "host/image_files.h"
#include "host/jobs.h"
#include "host/protocol.h"

namespace {

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::fflush(stdout);
    const char* selector = RunningSelector();
    std::fprintf(stderr, "\nlumora: the plug-in crashed%s%s (exception 0x%08lX)\n",
                 selector ? " during " : "", selector ? selector : "",
                 info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0UL);
    std::fflush(stderr);
    ExitProcess(kExitFailed);
}

}  // namespace

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "lumora: %s\n", message.c_str());
    return status;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "lumora: %s\nTry 'lumora --help'.\n", message.c_str());
    return kExitFailed;
}

std::string MissingExportMessage(const std::string& path, const char* name) {
    return path + " is not a Tinctor plug-in (it has no export '" + name + "')";
}

void ReportCrashes() { SetUnhandledExceptionFilter(OnCrash); }

std::string PluginFolder(const Options& o) {
    return o.pluginDir.empty() ? DefaultPluginFolder() : o.pluginDir;
}

std::string TinctorPluginPath(const Options& o) {
    return o.from.empty() ? PluginFolder(o) + "\\" + kDefaultTinctorFile : o.from;
}

int FindFilter(const Options& o, const std::string& name, PluginRef& ref) {
    std::string dir = PluginFolder(o);
    Catalog catalog = ScanPluginFolder(dir);
    if (!catalog.folderFound) return Fail(kExitFailed, "no plug-in folder " + dir);
    std::vector<const CatalogEntry*> hits;
    for (const CatalogEntry& e : catalog.plugins)
        if (FilterNameMatches(name, e.properties.name, e.fileName)) hits.push_back(&e);
    if (hits.empty()) return Fail(kExitFailed, "no filter named '" + name + "' in " + dir);
    if (hits.size() > 1) {
        std::string files;
        for (const CatalogEntry* e : hits) files += (files.empty() ? "" : ", ") + e->fileName;
        return Fail(kExitFailed, "filter name '" + name + "' is ambiguous: " + files);
    }
    ref = {hits[0]->path, hits[0]->properties.entry, hits[0]->properties.name};
    return 0;
}

int PluginAt(const std::string& path, PluginRef& ref) {
    PropertyListResult pipl;
    if (!ReadPropertyList(path, pipl))
        return Fail(kExitFailed, "cannot load plug-in " + path + ": " + pipl.error);
    ref = {path, pipl.properties.entry, pipl.properties.name};
    return 0;
}

int ListCommand(const Options& o) {
    std::string dir = PluginFolder(o);
    Catalog catalog = ScanPluginFolder(dir);
    if (!catalog.folderFound) return Fail(kExitFailed, "no plug-in folder " + dir);
    for (const std::string& w : catalog.warnings) std::fprintf(stderr, "%s\n", w.c_str());
    std::vector<CatalogEntry> menu = catalog.plugins;
    // The menu groups filters by category.
    std::stable_sort(menu.begin(), menu.end(), [](const CatalogEntry& a, const CatalogEntry& b) {
        return a.properties.category != b.properties.category
                   ? a.properties.category < b.properties.category
                   : a.properties.name < b.properties.name;
    });
    size_t wc = 8, wn = 9;
    for (const CatalogEntry& e : menu) {
        wc = std::max(wc, e.properties.category.size());
        wn = std::max(wn, e.properties.name.size());
    }
    std::printf("%-*s  %-*s  %s\n", int(wc), "Category", int(wn), "Menu name", "File");
    for (const CatalogEntry& e : menu)
        std::printf("%-*s  %-*s  %s\n", int(wc), e.properties.category.c_str(), int(wn),
                    e.properties.name.c_str(), e.fileName.c_str());
    if (menu.empty()) std::printf("(no filters in %s)\n", dir.c_str());
    return 0;
}

int ApplyCommand(const Options& o) {
    if (!o.settings.empty()) return ApplySettingsCommand(o);
    if (int status = CheckDestination(o)) return status;
    FilterPlan plan;
    if (int status = FindFilter(o, o.filter, plan.plugin)) return status;
    plan.repeat = o.repeat;
    plan.label = plan.plugin.menuName;
    return FilterImageFiles(o, plan);
}

int AboutCommand(const Options& o) {
    PluginRef ref;
    if (int status = FindFilter(o, o.filter, ref)) return status;
    if (!DisplayPresent()) return Fail(kExitFailed, "no display for the About box (set DISPLAY)");
    ReportCrashes();
    JobOutcome outcome = RunAboutJob(ref);
    return outcome.exitStatus ? Fail(outcome.exitStatus, outcome.message) : kExitDone;
}
