// Runs the engine in-process: a state block, the shipped definition and a
// host record with image buffers, set as the current call pointers.
#pragma once
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "plugin/core/plugin.h"
#include "tests/plugin/recording_callbacks.h"

struct EngineRun : RecordingCallbacks {
    HostRecord record{};
    PluginState* state = nullptr;
    FilterDefinition* definition = nullptr;
    std::vector<uint8_t> in, out;
    int width = 0, height = 0, planes = 3;

    EngineRun() {
        gModule = reinterpret_cast<HINSTANCE__*>(GetModuleHandleA(nullptr));
        state = static_cast<PluginState*>(AllocBlock(sizeof(PluginState)));
        MakeCodeExecutable(state);
        definition = static_cast<FilterDefinition*>(LoadResourceCopy(FourCC("PARM"), 16));
        state->definition = definition;
        Install(record);
        Enter();
    }
    ~EngineRun() {
        gHost = nullptr;
        gState = nullptr;
        gDefinition = nullptr;
        FreeBlock(definition);
        FreeBlock(state);
    }
    void Enter() {
        gHost = &record;
        gState = state;
        gDefinition = definition;
    }

    void SetFormulas(const std::string& r, const std::string& g, const std::string& b,
                     const std::string& a = "a") {
        const std::string* f[4] = {&r, &g, &b, &a};
        for (int k = 0; k < 4; ++k) {
            std::memset(definition->formula[k], 0, sizeof definition->formula[k]);
            std::memcpy(definition->formula[k], f[k]->data(), f[k]->size());
        }
        CompileChannelFormulas();
    }

    // An image of w x h pixels, `n` planes, rows padded by `pad` bytes; the
    // filter area `area` (default: all) is what the host hands over.
    void SetImage(int w, int h, int n, int pad = 5, uint32_t seed = 1) {
        width = w;
        height = h;
        planes = n;
        record.inRowBytes = record.outRowBytes = w * n + pad;
        in.assign(size_t(record.inRowBytes) * h + 1, 0);
        out.assign(in.size(), 0xA5);
        for (uint8_t& v : in) {
            seed = seed * 1103515245u + 12345u;
            v = uint8_t(seed >> 16);
        }
        record.inData = in.data();
        record.outData = out.data();
        record.inArea = record.outArea = HostArea{0, 0, int16_t(h), int16_t(w)};
        record.inLoPlane = record.outLoPlane = 0;
        record.inHiPlane = record.outHiPlane = int16_t(n - 1);
    }

    bool Run(RunMode mode = RunMode::Host) {
        PrepareRun();
        return RunFilter(mode);
    }

    uint8_t In(int x, int y, int z) const {
        return in[size_t(y) * record.inRowBytes + x * planes + z];
    }
    uint8_t Out(int x, int y, int z) const {
        return out[size_t(y) * record.outRowBytes + x * planes + z];
    }
};
