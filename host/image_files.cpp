#include "host/image_files.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>

#include "host/commands.h"
#include "host/console.h"
#include "host/host_window.h"
#include "host/image_io.h"
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

// One spelling per file, for telling whether two names mean the same file.
std::string SameFileKey(const std::string& path) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    std::string key = n > 0 && n < MAX_PATH ? std::string(full, n) : path;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return c == '/' ? '\\' : char(std::tolower(c)); });
    return key;
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

// Filters one file after the other in one session of the plug-in. After a
// plug-in error the session is dropped, and the next file gets a fresh one.
class FileRunner {
public:
    FileRunner(const Options& o, const FilterPlan& plan, const Image* mask)
        : o_(o), plan_(plan), mask_(mask) {}

    // `who` starts the lines that do not name the input themselves: "" for a
    // single file, "IN: " for one of many.
    int Run(const std::string& input, const std::string& output, const std::string& who);

private:
    const Options& o_;
    const FilterPlan& plan_;
    const Image* mask_;
    std::unique_ptr<PluginSession> session_;
    bool filteredOnce_ = false;  // the plug-in has its settings: repeat them
};

int FileRunner::Run(const std::string& input, const std::string& output, const std::string& who) {
    std::string error;
    Image source;
    if (!LoadImageFile(input, source, error))
        return Fail(kExitFailed, "cannot read image " + input + ": " + error);
    if (mask_ && (mask_->width != source.width || mask_->height != source.height))
        return Fail(kExitFailed, who + "mask " + o_.maskFile + " is not the size of the image");
    if (o_.transparency) source.alpha = true;  // opaque samples are already 255

    Area area{0, 0, source.height, source.width};
    if (o_.area) {
        area = Area{o_.area->top, o_.area->left, o_.area->bottom, o_.area->right};
        if (area.right > source.width || area.bottom > source.height)
            return Fail(kExitFailed, who + "--area reaches outside the " +
                                         std::to_string(source.width) + "x" +
                                         std::to_string(source.height) + " image");
    }

    FilterJob job;
    job.plugin = plan_.plugin;
    job.repeat = plan_.repeat || filteredOnce_;
    if (!session_) {
        session_ = std::make_unique<PluginSession>();
        // Without --repeat the plug-in may show its dialog at start.
        if (!session_->Load(job.plugin, !job.repeat, error)) {
            session_.reset();
            return Fail(kExitFailed, who + error);
        }
    }
    Image result = source;
    job.source = &source;
    job.result = &result;
    job.mask = mask_;
    job.filterArea = area;
    job.progress = !o_.quiet && StderrIsTerminal();
    job.abortAtRow = o_.abortAtRow;
    job.setup = plan_.setup;

    JobOutcome outcome = RunFilterJob(*session_, job);
    if (o_.time) std::printf("continue: %.1f ms\n", outcome.continueMs);
    if (outcome.exitStatus != 0) {
        if (outcome.exitStatus == kExitFailed) session_.reset();
        return Fail(outcome.exitStatus, who + outcome.message);
    }
    filteredOnce_ = true;
    if (int status = WriteOutput(result, output)) return status;
    if (!o_.quiet)
        std::printf("%s: %dx%d filtered with %s\n", output.c_str(), int(result.width),
                    int(result.height), plan_.label.c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace

int CheckDestination(const Options& o) {
    if (o.outDir.empty()) return CheckOutput(o.output);
    if (!IsFolder(o.outDir)) return Fail(kExitFailed, "no output folder " + o.outDir);
    return 0;
}

int FilterImageFiles(const Options& o, const FilterPlan& plan) {
    // Without --repeat the plug-in is asked for its parameters and may show
    // its dialog: find out now, not after reading the image.
    if (!plan.repeat && !DisplayPresent())
        return Fail(kExitFailed,
                    "no display for the filter's dialog (set DISPLAY, or add --repeat to "
                    "apply the filter with its last settings and no dialog)");
    ImageCodecs codecs;
    if (!codecs.ok()) return Fail(kExitFailed, "cannot start the image codecs (GDI+)");
    Image mask;
    if (!o.maskFile.empty()) {
        std::string error;
        if (!LoadImageFile(o.maskFile, mask, error))
            return Fail(kExitFailed, "cannot read mask " + o.maskFile + ": " + error);
        MakeGrey(mask);
    }
    InstallBreakHandler();
    ReportCrashes();
    FileRunner runner(o, plan, o.maskFile.empty() ? nullptr : &mask);
    if (o.outDir.empty()) return runner.Run(o.inputs[0], o.output, "");

    std::vector<std::string> inputKeys, outputKeys;
    for (const std::string& input : o.inputs) inputKeys.push_back(SameFileKey(input));
    int worst = kExitDone, written = 0, failed = 0;
    bool stopped = false;  // the user cancelled or the plug-in stopped: no further file
    for (size_t done = 0; done < o.inputs.size() && !stopped; ++done) {
        const std::string& input = o.inputs[done];
        std::string output = OutputPathFor(input, o.outDir, o.format);
        std::string key = SameFileKey(output);
        // A result never replaces another input of the run, nor an earlier result.
        auto other = std::find(inputKeys.begin(), inputKeys.end(), key);
        bool clash = (other != inputKeys.end() && other != inputKeys.begin() + done) ||
                     std::find(outputKeys.begin(), outputKeys.end(), key) != outputKeys.end();
        outputKeys.push_back(key);
        int status =
            clash ? Fail(kExitFailed, input + ": its result " + output +
                                          " would replace another input or result of this run")
            : EncoderTypeForPath(output).empty() ? CheckOutput(output)
                                                 : runner.Run(input, output, input + ": ");
        written += status == kExitDone;
        failed += status == kExitFailed;
        stopped = status == kExitCancelled;
        worst = std::max(worst, status);
    }
    if (!o.quiet) {
        int files = int(o.inputs.size()), notDone = files - written - failed;
        std::printf("%d file%s: %d written, %d failed", files, files == 1 ? "" : "s", written,
                    failed);
        if (notDone) std::printf(", %d not done (stopped)", notDone);
        std::printf("\n");
    }
    return worst;
}
