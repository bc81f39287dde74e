#include "host/commands.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/catalog.h"
#include "host/console.h"
#include "host/host_window.h"
#include "host/image_io.h"
#include "host/jobs.h"
#include "host/protocol.h"

namespace {

// Grey levels of a selection mask from its red, green and blue samples, in
// 1/256: the usual luminance weights.
constexpr int32_t kGreyWeightRed = 77;
constexpr int32_t kGreyWeightGreen = 150;
constexpr int32_t kGreyWeightBlue = 29;
constexpr int32_t kGreyShift = 8;
static_assert(kGreyWeightRed + kGreyWeightGreen + kGreyWeightBlue == 1 << kGreyShift);

constexpr char kPartialSuffix[] = ".lumora-partial";

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::fflush(stdout);
    const char* selector = RunningSelector();
    std::fprintf(stderr, "\nlumora: the plug-in crashed%s%s (exception 0x%08lX)\n",
                 selector ? " during " : "", selector ? selector : "",
                 info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0UL);
    std::fflush(stderr);
    ExitProcess(kExitFailed);
}

void MakeGrey(Image& mask) {
    for (int32_t y = 0; y < mask.height; ++y)
        for (int32_t x = 0; x < mask.width; ++x) {
            uint8_t* p = mask.pixel(x, y);
            int32_t sum = p[0] * kGreyWeightRed + p[1] * kGreyWeightGreen + p[2] * kGreyWeightBlue;
            uint8_t g = uint8_t((sum + (1 << (kGreyShift - 1))) >> kGreyShift);
            p[0] = p[1] = p[2] = g;
        }
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder OUT goes into ("." for a bare name, "X:\" for a drive root).
std::string FolderOfFile(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "." : ".";
    if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

// Everything about OUT that can be known before filtering.
int CheckOutput(const std::string& output) {
    if (EncoderTypeForPath(output).empty())
        return Fail(kExitFailed,
                    "unknown output format for " + output + " (use .png, .bmp, .jpg or .tif)");
    std::string folder = FolderOfFile(output);
    if (!IsFolder(folder))
        return Fail(kExitFailed, "cannot write " + output + ": no folder " + folder);
    if (IsFolder(output)) return Fail(kExitFailed, "cannot write " + output + ": it is a folder");
    return 0;
}

// Written under a temporary name beside the output, then renamed: the
// output is complete or absent, never half written.
int WriteOutput(const Image& result, const std::string& output) {
    std::string temp = output + kPartialSuffix, error;
    if (!SaveImageFile(result, temp, output, error)) {
        DeleteFileA(temp.c_str());
        return Fail(kExitFailed, "cannot write " + output + ": " + error);
    }
    if (!MoveFileExA(temp.c_str(), output.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        DeleteFileA(temp.c_str());
        return Fail(kExitFailed, "cannot write " + output + ": the file cannot be replaced");
    }
    return 0;
}

}  // namespace

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "lumora: %s\n", message.c_str());
    return status;
}

void ReportCrashes() { SetUnhandledExceptionFilter(OnCrash); }

std::string PluginFolder(const Options& o) {
    return o.pluginDir.empty() ? DefaultPluginFolder() : o.pluginDir;
}

int FindFilter(const Options& o, PluginRef& ref) {
    std::string dir = PluginFolder(o);
    Catalog catalog = ScanPluginFolder(dir);
    if (!catalog.folderFound) return Fail(kExitFailed, "no plug-in folder " + dir);
    std::vector<const CatalogEntry*> hits;
    for (const CatalogEntry& e : catalog.plugins)
        if (FilterNameMatches(o.filter, e.properties.name, e.fileName)) hits.push_back(&e);
    if (hits.empty()) return Fail(kExitFailed, "no filter named '" + o.filter + "' in " + dir);
    if (hits.size() > 1) {
        std::string files;
        for (const CatalogEntry* e : hits) files += (files.empty() ? "" : ", ") + e->fileName;
        return Fail(kExitFailed, "filter name '" + o.filter + "' is ambiguous: " + files);
    }
    ref = {hits[0]->path, hits[0]->properties.entry, hits[0]->properties.name};
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
    if (int status = CheckOutput(o.output)) return status;
    // Without --repeat the plug-in is asked for its parameters and may show
    // its dialog: find out now, not after reading the image.
    if (!o.repeat && !DisplayPresent())
        return Fail(kExitFailed,
                    "no display for the filter's dialog (set DISPLAY, or add --repeat to "
                    "apply the filter with its last settings and no dialog)");
    ImageCodecs codecs;
    if (!codecs.ok()) return Fail(kExitFailed, "cannot start the image codecs (GDI+)");
    std::string error;
    Image source;
    if (!LoadImageFile(o.input, source, error))
        return Fail(kExitFailed, "cannot read image " + o.input + ": " + error);
    Image mask;
    if (!o.maskFile.empty()) {
        if (!LoadImageFile(o.maskFile, mask, error))
            return Fail(kExitFailed, "cannot read mask " + o.maskFile + ": " + error);
        if (mask.width != source.width || mask.height != source.height)
            return Fail(kExitFailed, "mask " + o.maskFile + " is not the size of the image");
        MakeGrey(mask);
    }
    if (o.transparency) source.alpha = true;  // opaque samples are already 255

    Area area{0, 0, source.height, source.width};
    if (o.area) {
        area = Area{o.area->top, o.area->left, o.area->bottom, o.area->right};
        if (area.right > source.width || area.bottom > source.height)
            return Fail(kExitFailed, "--area reaches outside the " + std::to_string(source.width) +
                                         "x" + std::to_string(source.height) + " image");
    }

    FilterJob job;
    if (int status = FindFilter(o, job.plugin)) return status;
    Image result = source;
    job.source = &source;
    job.result = &result;
    job.mask = o.maskFile.empty() ? nullptr : &mask;
    job.filterArea = area;
    job.repeat = o.repeat;
    job.progress = !o.quiet && StderrIsTerminal();
    job.abortAtRow = o.abortAtRow;

    InstallBreakHandler();
    ReportCrashes();
    JobOutcome outcome = RunFilterJob(job);
    if (o.time) std::printf("continue: %.1f ms\n", outcome.continueMs);
    if (outcome.exitStatus != 0) return Fail(outcome.exitStatus, outcome.message);
    if (int status = WriteOutput(result, o.output)) return status;
    if (!o.quiet)
        std::printf("%s: %dx%d filtered with %s\n", o.output.c_str(), int(result.width),
                    int(result.height), job.plugin.menuName.c_str());
    return 0;
}

int AboutCommand(const Options& o) {
    PluginRef ref;
    if (int status = FindFilter(o, ref)) return status;
    if (!DisplayPresent()) return Fail(kExitFailed, "no display for the About box (set DISPLAY)");
    ReportCrashes();
    JobOutcome outcome = RunAboutJob(ref);
    return outcome.exitStatus ? Fail(outcome.exitStatus, outcome.message) : kExitDone;
}
