#include "host/jobs.h"

#include <windows.h>

#include <cstdio>
#include <new>

#include "host/console.h"
#include "host/protocol.h"

namespace {

constexpr int32_t kMaskPlanes = 1;

// Turns a selector's nonzero result into the outcome; false when it ends the run.
bool Check(int16_t selector, int16_t code, const std::string& name, JobOutcome& outcome) {
    if (code == kResultOk) return true;
    outcome.exitStatus = ExitStatusForResult(code);
    if (code == kResultCancelled)
        outcome.message = selector == kSelectorContinue ? "the filter was stopped" : "cancelled";
    else
        outcome.message =
            name + " failed at " + SelectorName(selector) + ": error " + DescribeResult(code);
    return false;
}

// One filtering: the buffers the record points into and the answers to the
// plug-in's callbacks. Lives inside its session and clears the record's
// buffer pointers when it ends.
class FilterRun final : public HostServices {
public:
    FilterRun(PluginSession& session, const FilterJob& job)
        : session_(session), record_(session.record()), job_(job), bar_(job.progress) {}
    ~FilterRun() { DetachRecordFromBuffers(); }
    FilterRun(const FilterRun&) = delete;
    FilterRun& operator=(const FilterRun&) = delete;

    JobOutcome Execute();

    bool AbortRequested() override {
        if (!stopAnswered_) {
            bool atRow = job_.abortAtRow >= 0 && progressDone_ >= job_.abortAtRow;
            stopAnswered_ = atRow || UserAskedToStop();
        }
        return stopAnswered_;
    }
    void Progress(int32_t done, int32_t total) override {
        progressDone_ = done;
        bar_.update(done, total);
    }
    // Inside continue the output buffer in hand is full-resolution work, so
    // it is written back first; during start (a preview sample) nothing
    // reaches the image.
    int16_t AdvanceState() override {
        if (inContinue_) CommitOutput();
        return FillRequested() ? kAdvanceDone : kAdvanceRefused;
    }

private:
    bool FillRequested();
    void CommitOutput();
    void PointRecordAtBuffers();
    void DetachRecordFromBuffers();
    void RunContinueLoop(JobOutcome& outcome);
    bool AnyAreaRequested() const {
        return !ToArea(record_.inArea).empty() || !ToArea(record_.outArea).empty();
    }

    PluginSession& session_;
    HostRecord& record_;
    const FilterJob& job_;
    ProgressBar bar_;
    HostBuffer in_, out_, mask_;
    bool inContinue_ = false;
    bool stopAnswered_ = false;
    int32_t progressDone_ = -1;
    std::string bufferError_;
};

void FilterRun::PointRecordAtBuffers() {
    record_.inData = in_.data();
    record_.inRowBytes = in_.rowBytes;
    record_.outData = out_.data();
    record_.outRowBytes = out_.rowBytes;
    record_.maskData = mask_.data();
    record_.maskRowBytes = mask_.rowBytes;
}

void FilterRun::DetachRecordFromBuffers() {
    record_.inData = record_.outData = record_.maskData = nullptr;
    record_.inRowBytes = record_.outRowBytes = record_.maskRowBytes = 0;
}

// Fills every buffer for the areas the plug-in currently requests, or none
// of them when any request cannot be served.
bool FilterRun::FillRequested() {
    const HostRecord& r = record_;
    const Image& source = *job_.source;
    BufferRequest in{ToArea(r.inArea), r.inLoPlane, r.inHiPlane, r.inputRate, r.inputPadding};
    // The output starts as the original pixels, sampled like the input.
    BufferRequest out{ToArea(r.outArea), r.outLoPlane, r.outHiPlane, r.inputRate, r.outputPadding};
    BufferRequest mask{ToArea(r.maskArea), 0, 0, r.maskRate, r.maskPadding};
    int32_t planes = r.planes;
    std::string why = CheckRequest(in, source.width, source.height, planes);
    if (!why.empty()) why = "input: " + why;
    if (why.empty()) {
        why = CheckRequest(out, source.width, source.height, planes);
        if (!why.empty()) why = "output: " + why;
    }
    if (why.empty() && !mask.area.empty()) {
        why = job_.mask ? CheckRequest(mask, source.width, source.height, kMaskPlanes)
                        : "a mask, but the image has no selection mask";
        if (!why.empty()) why = "mask: " + why;
    }
    if (!why.empty()) {
        bufferError_ = "the plug-in asked for " + why;
        return false;
    }
    try {
        FillBuffer(source, in, in_);
        FillBuffer(source, out, out_);
        if (job_.mask) FillBuffer(*job_.mask, mask, mask_);
        else mask_ = HostBuffer{};
    } catch (const std::bad_alloc&) {
        in_ = out_ = mask_ = HostBuffer{};
        DetachRecordFromBuffers();
        bufferError_ = "the plug-in asked for more buffer memory than there is";
        return false;
    }
    PointRecordAtBuffers();
    return true;
}

void FilterRun::CommitOutput() {
    if (!GuardsIntact(out_))
        std::fprintf(stderr, "warning: %s wrote past the end of its output rows\n",
                     job_.plugin.menuName.c_str());
    WriteBack(out_, job_.filterArea, job_.mask, *job_.result);
}

void FilterRun::RunContinueLoop(JobOutcome& outcome) {
    const std::string& name = job_.plugin.menuName;
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    while (AnyAreaRequested()) {
        // Reduced samples are for previews: a pass over one would leave the
        // image as it was and report success.
        if (record_.inputRate != kRateOne) {
            outcome = {kExitFailed, name + ": the plug-in asked to filter at a sampling rate of " +
                                        std::to_string(record_.inputRate) + "/65536, not 1.0"};
            return;
        }
        if (!FillRequested()) {
            outcome = {kExitFailed, name + ": " + bufferError_};
            return;
        }
        inContinue_ = true;
        QueryPerformanceCounter(&t0);
        int16_t code = session_.Call(kSelectorContinue, *this);
        QueryPerformanceCounter(&t1);
        inContinue_ = false;
        outcome.continueMs +=
            double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(frequency.QuadPart);
        ++outcome.continueCalls;
        // A stopped pass leaves its finished rows in the output: they are kept
        // in memory like any other, but the run's result is not written out.
        CommitOutput();
        if (!Check(kSelectorContinue, code, name, outcome)) return;
    }
}

JobOutcome FilterRun::Execute() {
    JobOutcome outcome;
    HostRecord& r = record_;
    bool alpha = job_.source->alpha;
    r.planes = int16_t(job_.source->planes());
    r.filterArea = ToHostArea(job_.filterArea);
    r.inLayerPlanes = alpha;
    r.inTransparentIndex = alpha;
    r.outTransparentIndex = alpha;
    r.haveMask = job_.mask != nullptr;
    r.isFloating = 0;

    const std::string& name = job_.plugin.menuName;
    if (!job_.repeat &&
        !Check(kSelectorParameters, session_.Call(kSelectorParameters, *this), name, outcome))
        return outcome;
    if (!Check(kSelectorPrepare, session_.Call(kSelectorPrepare, *this), name, outcome))
        return outcome;
    if (job_.setup) {
        std::string why = job_.setup->Apply(session_);
        if (!why.empty()) return {kExitFailed, why};
    }
    if (!Check(kSelectorStart, session_.Call(kSelectorStart, *this), name, outcome)) return outcome;
    RunContinueLoop(outcome);
    bar_.finish(outcome.exitStatus == 0);
    // Finish follows every successful start, also after a stopped pass.
    int16_t finish = session_.Call(kSelectorFinish, *this);
    if (outcome.exitStatus == 0) Check(kSelectorFinish, finish, name, outcome);
    return outcome;
}

// The About box asks nothing of the host's image.
class AboutServices final : public HostServices {
public:
    bool AbortRequested() override { return false; }
    void Progress(int32_t, int32_t) override {}
    int16_t AdvanceState() override { return kAdvanceRefused; }
};

}  // namespace

JobOutcome RunFilterJob(PluginSession& session, const FilterJob& job) {
    FilterRun run(session, job);
    return run.Execute();
}

JobOutcome RunAboutJob(const PluginRef& plugin) {
    JobOutcome outcome;
    PluginSession session;
    std::string error;
    if (!session.Load(plugin, true, error)) return {kExitFailed, error};
    AboutServices services;
    Check(kSelectorAbout, session.Call(kSelectorAbout, services), plugin.menuName, outcome);
    return outcome;
}
