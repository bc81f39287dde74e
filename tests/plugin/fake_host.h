// A host for the tests: loads a plug-in file, keeps its data handle and
// calls ENTRYPOINT1 with a record whose callbacks count what they were asked.
#pragma once
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "interface/definition.h"
#include "interface/host_record.h"
#include "interface/state.h"
#include "tests/plugin/plugin_paths.h"
#include "tests/plugin/recording_callbacks.h"

struct FakeHost : RecordingCallbacks {
    HMODULE module = nullptr;
    PluginEntryProc entry = nullptr;
    HostRecord record{};
    intptr_t data = 0;
    HostPlatformData platform{};
    std::vector<uint8_t> in, out;

    explicit FakeHost(const std::string& file = "Tinctor.lmf") {
        module = LoadLibraryA(PluginPath(file.c_str()).c_str());
        if (module)
            entry = reinterpret_cast<PluginEntryProc>(
                reinterpret_cast<void*>(GetProcAddress(module, "ENTRYPOINT1")));
        Install(record);
        record.platformData = &platform;
        record.aboutPlatform = &platform;
        record.planes = 3;
    }
    ~FakeHost() {
        if (module) FreeLibrary(module);
    }

    int16_t Call(int32_t selector) {
        int16_t result = 0x5555;
        entry(selector, &record, &data, &result);
        return result;
    }

    PluginState* state() const { return reinterpret_cast<PluginState*>(data); }
    FilterDefinition* definition() const { return state() ? state()->definition : nullptr; }

    // A finish call (it allocates the block and loads the definition), then
    // `formulas` in the definition. Null when the plug-in gave no block.
    FilterDefinition* LoadFormulas(const char* const formulas[4]) {
        Call(kSelectorFinish);
        FilterDefinition* d = definition();
        for (int k = 0; d && k < 4; ++k) {
            std::memset(d->formula[k], 0, sizeof d->formula[k]);
            std::strncpy(d->formula[k], formulas[k], sizeof d->formula[k] - 1);
        }
        return d;
    }

    // An image of w x h pixels with `planes` interleaved planes and padded rows.
    void SetImage(int w, int h, int planes, int pad = 3) {
        record.planes = int16_t(planes);
        bool alpha = planes == 4;
        record.inLayerPlanes = record.inTransparentIndex = record.outTransparentIndex = alpha;
        record.filterArea = HostArea{0, 0, int16_t(h), int16_t(w)};
        record.inRowBytes = record.outRowBytes = w * planes + pad;
        in.assign(size_t(record.inRowBytes) * h + 1, 0);
        out.assign(in.size(), 0xEE);
        for (size_t i = 0; i < in.size(); ++i) in[i] = uint8_t(i * 7 + 3);
        record.inData = in.data();
        record.outData = out.data();
    }

    // parameters (optional), prepare, start, continue, finish.
    int16_t Apply(bool parameters) {
        if (parameters && Call(kSelectorParameters) != 0) return -1;
        if (Call(kSelectorPrepare) != 0) return -1;
        int16_t r = Call(kSelectorStart);
        if (r != 0) return r;
        r = Call(kSelectorContinue);
        Call(kSelectorFinish);
        return r;
    }
};
