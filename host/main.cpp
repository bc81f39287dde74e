// lumora.exe: the stand-in host. Lists the filters of a plug-in folder and
// runs one of them over an image file the way the editor does.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/catalog.h"
#include "host/cli.h"
#include "host/console.h"
#include "host/image_io.h"
#include "host/make_command.h"
#include "host/session.h"

namespace {

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "lumora: %s\n", message.c_str());
    return status;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::fflush(stdout);
    const char* selector = RunningSelector();
    std::fprintf(stderr, "\nlumora: the plug-in crashed%s%s (exception 0x%08lX)\n", selector ? " during " : "",
                 selector ? selector : "", info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0UL);
    std::fflush(stderr);
    ExitProcess(2);
}

std::string FolderOf(const Options& o) { return o.pluginDir.empty() ? DefaultPluginFolder() : o.pluginDir; }

int List(const Options& o) {
    std::string dir = FolderOf(o);
    Catalog catalog = ScanPluginFolder(dir);
    if (!catalog.folderFound) return Fail(2, "no plug-in folder " + dir);
    for (const std::string& w : catalog.warnings) std::fprintf(stderr, "%s\n", w.c_str());
    std::vector<CatalogEntry> menu = catalog.plugins;
    // The menu groups filters by category.
    std::stable_sort(menu.begin(), menu.end(), [](const CatalogEntry& a, const CatalogEntry& b) {
        return a.properties.category != b.properties.category ? a.properties.category < b.properties.category
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

// Finds the one plug-in NAME means; on failure returns the exit status.
int FindFilter(const Options& o, PluginRef& ref) {
    std::string dir = FolderOf(o);
    Catalog catalog = ScanPluginFolder(dir);
    if (!catalog.folderFound) return Fail(2, "no plug-in folder " + dir);
    std::vector<const CatalogEntry*> hits;
    for (const CatalogEntry& e : catalog.plugins)
        if (FilterNameMatches(o.filter, e.properties.name, e.fileName)) hits.push_back(&e);
    if (hits.empty()) return Fail(2, "no filter named '" + o.filter + "' in " + dir);
    if (hits.size() > 1) {
        std::string files;
        for (const CatalogEntry* e : hits) files += (files.empty() ? "" : ", ") + e->fileName;
        return Fail(2, "filter name '" + o.filter + "' is ambiguous: " + files);
    }
    ref = {hits[0]->path, hits[0]->properties.entry, hits[0]->properties.name};
    return 0;
}

// A selection mask: grey levels taken from the red, green and blue samples.
void MakeGrey(Image& mask) {
    for (int32_t y = 0; y < mask.height; ++y)
        for (int32_t x = 0; x < mask.width; ++x) {
            uint8_t* p = mask.pixel(x, y);
            uint8_t g = uint8_t((p[0] * 77 + p[1] * 150 + p[2] * 29 + 128) >> 8);
            p[0] = p[1] = p[2] = g;
        }
}

int Apply(const Options& o) {
    if (EncoderTypeForPath(o.output).empty())
        return Fail(2, "unknown output format for " + o.output + " (use .png, .bmp, .jpg or .tif)");
    ImageCodecs codecs;
    if (!codecs.ok()) return Fail(2, "cannot start the image codecs (GDI+)");
    std::string error;
    Image source;
    if (!LoadImageFile(o.input, source, error)) return Fail(2, "cannot read image " + o.input + ": " + error);
    Image mask;
    if (!o.maskFile.empty()) {
        if (!LoadImageFile(o.maskFile, mask, error))
            return Fail(2, "cannot read mask " + o.maskFile + ": " + error);
        if (mask.width != source.width || mask.height != source.height)
            return Fail(2, "mask " + o.maskFile + " is not the size of the image");
        MakeGrey(mask);
    }
    if (o.transparency) source.alpha = true;  // opaque samples are already 255

    Area area{0, 0, source.height, source.width};
    if (o.area) {
        area = Area{o.area->top, o.area->left, o.area->bottom, o.area->right};
        if (area.right > source.width || area.bottom > source.height)
            return Fail(2, "--area reaches outside the " + std::to_string(source.width) + "x" +
                               std::to_string(source.height) + " image");
    }

    FilterJob job;
    if (int status = FindFilter(o, job.plugin)) return status;
    Image result = source;
    job.source = &source;
    job.result = &result;
    job.mask = o.maskFile.empty() ? nullptr : &mask;
    job.filterArea = area;
    job.repeat = o.repeat;
    job.quiet = o.quiet;
    job.abortAtRow = o.abortAtRow;

    InstallBreakHandler();
    SetUnhandledExceptionFilter(OnCrash);
    JobOutcome outcome = RunFilterJob(job);
    if (o.time) std::printf("continue: %.1f ms\n", outcome.continueMs);
    if (outcome.exitStatus != 0) return Fail(outcome.exitStatus, outcome.message);

    // Written under a temporary name beside the output, then renamed: the
    // output is complete or absent, never half written.
    std::string temp = o.output + ".lumora-partial";
    if (!SaveImageFile(result, temp, o.output, error)) {
        DeleteFileA(temp.c_str());
        return Fail(2, "cannot write " + o.output + ": " + error);
    }
    if (!MoveFileExA(temp.c_str(), o.output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        DeleteFileA(temp.c_str());
        return Fail(2, "cannot write " + o.output + ": the file cannot be replaced");
    }
    if (!o.quiet)
        std::printf("%s: %dx%d filtered with %s\n", o.output.c_str(), int(result.width), int(result.height),
                    job.plugin.menuName.c_str());
    return 0;
}

int About(const Options& o) {
    PluginRef ref;
    if (int status = FindFilter(o, ref)) return status;
    SetUnhandledExceptionFilter(OnCrash);
    JobOutcome outcome = RunAboutJob(ref);
    return outcome.exitStatus ? Fail(outcome.exitStatus, outcome.message) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsageText, stderr);
        return 2;
    }
    if (IsMakerCommand(args[0])) return RunMakerCommand(args);
    ParseResult parsed = ParseCommandLine(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "lumora: %s\nTry 'lumora --help'.\n", parsed.error.c_str());
        return 2;
    }
    const Options& o = parsed.options;
    int status = 0;
    switch (o.command) {
    case Command::Help: std::fputs(kUsageText, stdout); break;
    case Command::List: status = List(o); break;
    case Command::Apply: status = Apply(o); break;
    case Command::About: status = About(o); break;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
