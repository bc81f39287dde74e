// Fixed-point maths and the builders of the run-time tables.
#include "formula/runtime.h"
#include <cmath>
#include "interface/state.h"

namespace {

constexpr uint32_t kHalfAngleThreshold = 444758426u;  // tan(pi/8), 2.30
constexpr int32_t kAtanScale = 1073744869;            // 1.0000028, 2.30
constexpr int32_t kSineCoef[] = {1514941, -27269092, 286327093, -1431643586, 2147477558};
constexpr int32_t kCosineCoef[] = {-302987, 6817254, -95442094, 715819763, -2147471468, 1073741824};
constexpr int32_t kAtanCoef[] = {119304647, -153391689, 214748365, -357913941, 1073741824};
constexpr int kTableEntries = 1024;             // entries of each trigonometric table
constexpr int kQuarter = kTableEntries / 4;     // a quarter turn in table steps
constexpr int32_t kAngleStepNumerator = 31416;  // pi/512 as 31416 / 5120000 (16.16)
constexpr int32_t kAngleStepDenominator = 5120000;

// h = c[0]; h = e*h + c[k] for every further coefficient.
template <int N>
int32_t Horner(int32_t e, const int32_t (&c)[N]) {
    int32_t h = c[0];
    for (int k = 1; k < N; ++k) h = int32_t(uint32_t(Fx30Mul(e, h)) + uint32_t(c[k]));
    return h;
}

// a * 2^shift / b with the saturation rule of both divisions.
int32_t FxDiv(int32_t a, int32_t b, int shift) {
    const bool negative = (a < 0) != (b < 0);
    const uint32_t ua = a < 0 ? 0u - uint32_t(a) : uint32_t(a);
    const uint32_t ub = b < 0 ? 0u - uint32_t(b) : uint32_t(b);
    const uint64_t n = uint64_t(ua) << shift;
    if (uint32_t(n >> 32) >= ub || n / ub >= 0x80000000u) return negative ? INT32_MIN : INT32_MAX;
    const uint32_t q = uint32_t(n / ub);
    return negative ? int32_t(0u - q) : int32_t(q);
}

}  // namespace

int32_t Fx30Mul(int32_t a, int32_t b) {
    int64_t p = int64_t(a) * b;
    if (p < 0) p += (int64_t(1) << 30) - 1;
    return int32_t(p >> 30);
}

int32_t Fx16Div(int32_t a, int32_t b) { return FxDiv(a, b, 16); }
int32_t Fx30Div(int32_t a, int32_t b) { return FxDiv(a, b, 30); }

uint32_t Sqrt64(uint64_t v) {
    // Bit by bit, from the highest pair of bits down: exact for every input.
    uint64_t root = 0, bit = uint64_t(1) << 62;
    while (bit > v) bit >>= 2;
    while (bit) {
        if (v >= root + bit) {
            v -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return uint32_t(root);
}

int32_t Fx30Sqrt(int32_t a) { return int32_t(Sqrt64(uint64_t(uint32_t(a)) << 30)); }

int32_t Fx30Sin(int32_t a) {
    uint32_t s = 0, ua = uint32_t(a);
    if (a < 0) {
        ua = 0u - ua;
        s = 4;
    }
    const uint32_t q = ua / uint32_t(kQuarterPi16);
    uint32_t r = ua % uint32_t(kQuarterPi16);
    const uint32_t o = (q + s) & 7;
    if (o & 1) r = kQuarterPi16 - r;
    const int32_t x = int32_t(r * 8192);  // units of 2^-29 radians
    const int32_t e = Fx30Mul(x, x);
    int32_t h;
    if ((0x66u << o) & 0x80)  // octants 1, 2, 5, 6
        h = Horner(e, kCosineCoef);
    else h = Fx30Mul(Horner(e, kSineCoef), x);
    if ((0x0Fu << o) & 0x80) h = int32_t(0u - uint32_t(h));  // octants 4..7
    return h;
}

int32_t Fx30Cos(int32_t a) { return Fx30Sin(int32_t(uint32_t(a) + kHalfPi16)); }

// The mask ends with one bit set: the sixteenth of a turn (22.5 degrees) in
// which the point (a, b) = (x, y) lies. Bits 7 down to 0 are the sixteenths
// of the upper half, counter-clockwise from the positive x axis (bit 7 from
// 0 to 22.5 degrees, bit 0 from 157.5 to 180); bits 8 up to 15 those of the
// lower half, clockwise (bit 8 from 0 to -22.5 degrees, bit 15 from -157.5 to
// -180). Each step keeps the sixteenths that agree with what it found:
//   0x00FF upper half (y >= 0)          0xFF00 lower half
//   0x0FF0 right half (x >= 0)          0xF00F left half
//   0xC3C3 within 45 degrees of the x axis, 0x3C3C of the y axis
//   0x9999 within 22.5 degrees of an axis, 0x6666 the others (angle halved)
// and the end reads the same sets back to fold the first octant's angle out.
int32_t Fx16Atan2(int32_t a, int32_t b) {
    uint32_t mask = 0x00FF;
    if (b < 0) {
        mask = 0xFF00;
        b = int32_t(0u - uint32_t(b));
    }
    if (a < 0) {
        mask &= 0xF00F;
        a = int32_t(0u - uint32_t(a));
    } else {
        mask &= 0x0FF0;
    }
    int32_t lo = b, hi = a;
    if (uint32_t(b) > uint32_t(a)) {
        mask &= 0x3C3C;
        lo = a;
        hi = b;
    } else {
        mask &= 0xC3C3;
    }
    int32_t t = Fx30Div(lo, hi);
    if (uint32_t(t) > kHalfAngleThreshold) {
        // tan(a/2) = (sqrt(1 + tan^2 a) - 1) / tan a
        const int32_t root = Fx30Sqrt(int32_t(uint32_t(Fx30Mul(t, t)) + kOne30));
        t = Fx30Div(int32_t(uint32_t(root) - kOne30), t);
        mask &= 0x6666;
    } else {
        mask &= 0x9999;
    }
    const int32_t e = Fx30Mul(t, t);
    int32_t h = Fx30Mul(Fx30Mul(Horner(e, kAtanCoef), t), kAtanScale);
    if ((mask & 0x9999) == 0) h = int32_t(uint32_t(h) * 2);
    h >>= 14;
    if ((mask & 0xC3C3) == 0) h = kHalfPi16 - h;
    if ((mask & 0x0FF0) == 0) h = kPi16 - h;
    if ((mask & 0x00FF) == 0) h = -h;
    return h;
}

void BuildTrigTables(PluginState* state) {
    int16_t* sine = state->sineTable;
    // One quarter wave of the cosine in steps of pi/512 (pi taken as 3.1416),
    // then mirrored about the half index: there is no zero entry.
    for (int k = 0; k < kQuarter; ++k)
        sine[k] = int16_t(Fx30Cos(Fx16Div(k * kAngleStepNumerator, kAngleStepDenominator)) >> 16);
    for (int i = 0; i < kQuarter; ++i) {
        sine[kQuarter + i] = int16_t(-sine[kQuarter - 1 - i]);
        sine[2 * kQuarter + i] = int16_t(-sine[i]);
        sine[3 * kQuarter + i] = sine[kQuarter - 1 - i];
    }
    for (int k = 0; k < kTableEntries; ++k)
        state->arctanTable[k] = uint16_t(Fx16Atan2(kTableEntries, k + 1));
    for (int k = 0; k < kTableEntries; ++k) {
        // volatile keeps the root a plain double whatever the FPU's precision
        volatile double root = std::sqrt(double(k) * k + double(kTableEntries) * kTableEntries);
        state->magnitudeTable[k] = uint16_t(int32_t((root - (kTableEntries - 0.5)) * 64.0));
    }
}

void BuildMapTable(int32_t a32, int32_t b32, uint8_t* table) {
    // 64-bit so that slider values far outside 0..255 cannot overflow.
    const int64_t a = a32, b = b32;
    if (a >= b) {
        // rising ramp: 0 up to b, 255 from a on, linear between (rounding down)
        for (int64_t k = 0; k <= b && k < 256; ++k) table[k] = 0;
        for (int64_t k = a < 0 ? 0 : a; k < 256; ++k) table[k] = 255;
        for (int64_t k = b + 1 < 0 ? 0 : b + 1; k < a && k < 256; ++k)
            table[k] = uint8_t((k - b) * 255 / (a - b));
    } else {
        // falling ramp: 255 up to a, 0 from b on, linear between (rounding up)
        for (int64_t k = 0; k <= a && k < 256; ++k) table[k] = 255;
        for (int64_t k = b < 0 ? 0 : b; k < 256; ++k) table[k] = 0;
        for (int64_t k = a + 1 < 0 ? 0 : a + 1; k < b && k < 256; ++k)
            table[k] = uint8_t(255 - (k - a) * 255 / (b - a));
    }
}

void SeedRandom(int32_t seed, int32_t* randTable) {
    uint32_t mj = 161803398u - uint32_t(seed & 0x7FFF);
    uint32_t mk = 1;
    randTable[55] = int32_t(mj);
    for (int n = 21; n <= 1134; n += 21) {
        randTable[n % 55] = int32_t(mk);
        const uint32_t next = mj - mk;
        mj = mk;
        mk = next;
    }
    for (int pass = 0; pass < 4; ++pass)
        for (int i = 1; i <= 55; ++i)
            randTable[i] = int32_t(uint32_t(randTable[i]) - uint32_t(randTable[1 + (i + 30) % 55]));
}
