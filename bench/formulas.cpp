#include "bench/formulas.h"
#include <cmath>
#include <cstdlib>
#include "interface/state.h"

namespace {

inline uint8_t Clamp(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Walks the pass area like the engine; `pixel(x, y, in, out)` fills the
// colour samples of one pixel, the alpha sample is copied. Inlined per formula.
template <class Pixel>
inline void Pass(PluginState* s, Pixel pixel) {
    const int planes = s->zEnd;
    for (int32_t y = 0; y < s->yEnd; ++y) {
        const uint8_t* in = s->inBase + y * s->inRowBytes;
        uint8_t* out = s->outBase + y * s->outRowBytes;
        for (int32_t x = 0; x < s->xEnd; ++x, in += planes, out += planes) {
            pixel(x, y, in, out);
            if (planes == 4) out[3] = in[3];
        }
    }
}

inline const uint8_t* Sample(PluginState* s, int32_t col, int32_t row) {
    col = col < 0 ? 0 : col >= s->xEnd ? s->xEnd - 1 : col;
    row = row < 0 ? 0 : row >= s->yEnd ? s->yEnd - 1 : row;
    return s->inBase + row * s->inRowBytes + col * s->zEnd;
}

void Invert(PluginState* s) {
    Pass(s, [](int32_t, int32_t, const uint8_t* in, uint8_t* out) {
        for (int z = 0; z < 3; ++z) out[z] = uint8_t(255 - in[z]);
    });
}

void Gray(PluginState* s) {
    Pass(s, [](int32_t, int32_t, const uint8_t* in, uint8_t* out) {
        uint8_t v = uint8_t((in[0] + in[1] + in[2]) / 3);
        out[0] = out[1] = out[2] = v;
    });
}

// c * (M - 2m) / M: darker away from the centre.
void Radial(PluginState* s) {
    int32_t w = s->xEnd, h = s->yEnd;
    int32_t M = int32_t(std::sqrt(double(w) * w + double(h) * h));
    Pass(s, [&](int32_t x, int32_t y, const uint8_t* in, uint8_t* out) {
        int32_t dx = x - (w + 1) / 2, dy = y - (h + 1) / 2;
        int32_t m = int32_t(std::sqrt(double(dx * dx + dy * dy)));
        for (int z = 0; z < 3; ++z) out[z] = Clamp(in[z] * (M - m * 2) / M);
    });
}

// 128 + sin(4x)/4 + cos(4y)/4 with the plug-in's own wave table.
void Waves(PluginState* s) {
    const int16_t* wave = s->sineTable;
    Pass(s, [&](int32_t x, int32_t y, const uint8_t*, uint8_t* out) {
        int32_t sinA = wave[std::abs(x * 4 - 256) & 1023] >> 5;
        int32_t cosB = wave[std::abs(y * 4) & 1023] >> 5;
        out[0] = out[1] = out[2] = Clamp(128 + sinA / 4 + cosB / 4);
    });
}

// 3 x 3 box blur of each channel, samples beyond the edges taken from the edge.
void Blur(PluginState* s) {
    Pass(s, [&](int32_t x, int32_t y, const uint8_t*, uint8_t* out) {
        for (int z = 0; z < 3; ++z) {
            int32_t sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) sum += Sample(s, x + dx, y + dy)[z];
            out[z] = Clamp(sum / 9);
        }
    });
}

// sub(c, rnd(0, ctl(0)), z) with the plug-in's subtractive generator.
void Noise(PluginState* s) {
    int a = s->randIndexA, b = s->randIndexB;
    int32_t* table = s->randTable;
    const uint32_t n = uint32_t(s->slider[0]) + 1;
    Pass(s, [&](int32_t, int32_t, const uint8_t* in, uint8_t* out) {
        for (int z = 0; z < 3; ++z) {
            if (++b == 56) b = 1;
            if (++a == 56) a = 1;
            uint32_t v = uint32_t(table[a]) - uint32_t(table[b]);
            table[a] = int32_t(v);
            int32_t d = in[z] - int32_t(v % n);
            out[z] = Clamp(d < z ? z : d);
        }
    });
    s->randIndexA = int16_t(a);
    s->randIndexB = int16_t(b);
}

// src(x + ctl(1)/8, y + ctl(1)/16, z): a shifted copy, edges repeated.
void Shift(PluginState* s) {
    const int32_t dx = s->slider[1] / 8, dy = s->slider[1] / 16;
    Pass(s, [&](int32_t x, int32_t y, const uint8_t*, uint8_t* out) {
        const uint8_t* p = Sample(s, x + dx, y + dy);
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
    });
}

}  // namespace

const BenchFormula kBenchFormulas[] = {
    {"invert", "255-c", Invert, "1-u", "255-i"},
    {"gray", "(r+g+b)/3", Gray, "(u.r+u.g+u.b)/3", "(i0+i1+i2)/3"},
    {"radial", "c*(M-m*2)/M", Radial, "u*(1-2*hypot(i-w/2,j-h/2)/hypot(w,h))",
     "i*(1-2*sqrt((x-w/2)^2+(y-h/2)^2)/sqrt(w^2+h^2))"},
    {"waves", "128+sin(x*4)/4+cos(y*4)/4", Waves,
     "0.5+0.25*sin(i*4*2*pi/1024)+0.25*cos(j*4*2*pi/1024)",
     "128+128*sin(x*4*2*pi/1024)+128*cos(y*4*2*pi/1024)"},
    {"blur", "cnv(1,1,1,1,1,1,1,1,1,9)", Blur,
     "(p[-1,-1]+p[0,-1]+p[1,-1]+p[-1,0]+p[0,0]+p[1,0]+p[-1,1]+p[0,1]+p[1,1])/9",
     "(j(-1,-1)+j(0,-1)+j(1,-1)+j(-1,0)+i+j(1,0)+j(-1,1)+j(0,1)+j(1,1))/9"},
    {"noise", "sub(c,rnd(0,ctl(0)),z)", Noise, "u-random()*101/255", "max(i-round(u(0,101)),c)"},
    {"shift", "src(x+ctl(1)/8,y+ctl(1)/16,z)", Shift, "p[16,8]", "j(16,8)"},
};
const int kBenchFormulaCount = int(sizeof kBenchFormulas / sizeof kBenchFormulas[0]);
