#include "interface/state.h"
#include "tests/formula/reference_eval.h"

void RefRunPass(const RefProgram (&programs)[4], PluginState& s) {
    // Beyond four planes the pixel stride grows, but only the four formulas
    // run: the other planes of the output are left as they are.
    const int planes = s.zEnd - s.zStart, run = planes < 4 ? planes : 4;
    for (s.y = s.yStart; s.y < s.yEnd; ++s.y) {
        s.inPixel = s.inBase + s.y * s.inRowBytes;
        s.outPixel = s.outBase + s.y * s.outRowBytes;
        for (s.x = s.xStart; s.x < s.xEnd; ++s.x, s.inPixel += planes, s.outPixel += planes) {
            for (int z = 0; z < run; ++z) s.planeValue[z] = s.inPixel[z];
            for (s.z = s.zStart; s.z < run; ++s.z) {
                int32_t v = RefRun(programs[s.z], s);
                s.outPixel[s.z] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
}
