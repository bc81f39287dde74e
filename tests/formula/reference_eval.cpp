// Reference evaluator: the meaning of every template in plain C++.
//
// Arithmetic is on uint32_t where the language wraps, on 64-bit values where
// it forms wide products. Where the language leaves a result open, the
// reference states our choice in a comment (and the templates implement the
// same choice):
// - "/" and "%" by -1: quotient -a with wrap-around, remainder 0.
// - mix and scl: 64-bit quotients keep their low 32 bits.
// - cnv: neighbours clamp into the source rectangle; d = -1 negates with
//   wrap-around; a current plane outside the pixel gives 0.
// - tan of a zero cosine (tables never built): 0, as the language says.
// - rnd with a range of 0: all 2^32 values, so the result is a + v.
// - c2d, c2m, d, m, M: magnitudes are unsigned 32-bit (|most negative| is
//   2^31), lo * 1024 / hi is formed in 64 bits, lengths wrap to 32 bits.
// - rad: a plane outside the pixel gives 0; clamping applies the upper bound
//   first, as src does.
// - c reads planeValue[z - zStart] (z is below four in every pass).
// - M takes xEnd and yEnd as the sizes (xStart and yStart are always 0).
#include "tests/formula/reference_eval.h"
#include <cstring>
#include <utility>
#include "formula/parser.h"
#include "interface/state.h"
#include "tests/formula/native_runner.h"
#include "tests/formula/shipped_lengths.h"

namespace reference {
namespace {

const char* const kNames[] = {
    "error", "prolog", "epilog", "number", ",",   "?",   "!",   "&&",  "||",  "~",
    "&",     "|",      "^",      "==",     "!=",  "<",   "<=",  ">",   ">=",  "<<",
    ">>",    "negate", "+",      "-",      "*",   "/",   "%",   "r",   "g",   "b",
    "a",     "c",      "i",      "u",      "v",   "d",   "m",   "R",   "G",   "B",
    "A",     "I",      "U",      "V",      "C",   "D",   "M",   "x",   "y",   "z",
    "X",     "Y",      "Z",      "min",    "max", "abs", "add", "sub", "dif", "mix",
    "scl",   "sqr",    "rnd",    "ctl",    "val", "map", "src", "cnv", "rad", "c2d",
    "c2m",   "r2x",    "r2y",    "sin",    "cos", "tan", "get", "put",
};
constexpr int kNameCount = int(sizeof kNames / sizeof kNames[0]);

enum Code {
    kError,
    kProlog,
    kEpilog,
    kNumber,
    kComma,
    kCond,
    kNot,
    kLogAnd,
    kLogOr,
    kCompl,
    kAnd,
    kOr,
    kXor,
    kEq,
    kNe,
    kLt,
    kLe,
    kGt,
    kGe,
    kShl,
    kShr,
    kNeg,
    kAdd,
    kSub,
    kMul,
    kDiv,
    kRem,
    kR,
    kG,
    kB,
    kA,
    kC,
    kI,
    kU,
    kV,
    kDir,
    kMag,
    kR255,
    kG255,
    kB255,
    kA255,
    kI255,
    kU255,
    kV255,
    kC255,
    kD1024,
    kDiag,
    kX,
    kY,
    kZ,
    kXEnd,
    kYEnd,
    kZEnd,
    kMin,
    kMax,
    kAbs,
    kAddLim,
    kSubLim,
    kDif,
    kMix,
    kScl,
    kSqr,
    kRnd,
    kCtl,
    kVal,
    kMap,
    kSrc,
    kCnv,
    kRad,
    kC2d,
    kC2m,
    kR2x,
    kR2y,
    kSin,
    kCos,
    kTan,
    kGet,
    kPut,
};
static_assert(kPut + 1 == kNameCount, "one code per name");

int CodeOf(const char* name) {
    for (int k = 0; k < kNameCount; ++k)
        if (std::strcmp(kNames[k], name) == 0) return k;
    return -1;
}

// Records names with the native emitter's byte accounting: template sizes
// come from the shipped lengths (never from our OPER resource), the capacity
// rule is the same.
class RecordingEmitter final : public Emitter {
public:
    RecordingEmitter(int32_t capacity, Program& program) : capacity_(capacity), program_(program) {}

    bool EmitTemplate(const char* name) override {
        const int length = shipped::Length(name);
        const int code = CodeOf(name);
        if (length < 0 || code < 0 || !Room(length)) return false;
        program_.ops.push_back({code, 0});
        program_.size += length;
        return true;
    }
    bool EmitValue(int32_t value) override {
        if (!Room(4) || program_.ops.empty()) return false;
        program_.ops.back().value = value;
        program_.size += 4;
        return true;
    }
    void RestartWithError() override {
        program_.ops.clear();
        program_.size = 0;
        EmitTemplate("error");
    }

private:
    bool Room(int n) const { return program_.size + n < capacity_; }
    int32_t capacity_;
    Program& program_;
};

int32_t W(uint32_t v) { return int32_t(v); }
uint32_t U(int32_t v) { return uint32_t(v); }
int32_t Sub(int32_t a, int32_t b) { return W(U(a) - U(b)); }
uint32_t Magnitude32(int32_t v) { return v < 0 ? 0u - U(v) : U(v); }

// Truncated quotient of a 64-bit dividend, low 32 bits kept.
int32_t Quotient64(int64_t n, int32_t d) { return W(uint32_t(uint64_t(n / int64_t(d)))); }

int32_t Direction(const PluginState& s, int32_t x, int32_t y) {
    int f = 0;
    uint32_t ux = U(x), uy = U(y);
    if (y < 0) {
        uy = 0u - uy;
        f |= 4;
    }
    if (x < 0) {
        ux = 0u - ux;
        f |= 3;
    }
    uint32_t lo = uy, hi = ux;
    if (uy > ux) {
        f ^= 1;
        std::swap(lo, hi);
    }
    int32_t e = 0;
    if (lo > 0) {
        const uint64_t q = uint64_t(lo) * 1024 / hi;
        if (q) e = int32_t(uint32_t(s.arctanTable[q - 1]) * 512 / 205888);
    }
    if (f & 1) e = 256 - e;
    if (f & 2) e += 256;
    if (f & 4) e = -e;
    return e;
}

int32_t Length(const PluginState& s, int32_t x, int32_t y) {
    uint32_t lo = Magnitude32(x), hi = Magnitude32(y);
    if (lo > hi) std::swap(lo, hi);
    uint64_t f;
    if (lo == hi) {
        f = 27146;
    } else {
        const uint64_t q = uint64_t(lo) * 1024 / hi;  // below 1024
        f = s.magnitudeTable[q];
    }
    return W(hi + uint32_t((f * hi) >> 16));
}

int32_t Polar(const PluginState& s, int32_t d, int32_t m) {
    const int64_t p = int64_t(m) * s.sineTable[U(d) & 1023] + 8191;
    return W(uint32_t(uint64_t(p >> 14)));
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hiExclusive) {
    if (v >= hiExclusive) v = W(U(hiExclusive) - 1);
    if (v < lo) v = lo;
    return v;
}

uint8_t Sample(const PluginState& s, int32_t offset) { return s.inBase[offset]; }

int32_t Luma(int32_t r, int32_t g, int32_t b, int32_t wr, int32_t wg, int32_t wb) {
    const int32_t sum = W(U(wr) * U(r) + U(wg) * U(g) + U(wb) * U(b));
    return sum / 256;
}

int32_t Sqr(int32_t a) {
    if (a <= 1) return a;
    const uint32_t ua = U(a);
    uint32_t g = ua / 2, q = 2;
    while (g > q) {
        q = ua / g;
        g = uint32_t((uint64_t(g) + q) / 2);
    }
    return W(g);
}

int32_t Rnd(PluginState& s, int32_t a, int32_t b) {
    auto step = [](int16_t& index) {
        uint32_t next = uint32_t(uint16_t(index)) + 1;
        if (next > 55) next = 1;
        index = int16_t(next);
        return next;
    };
    const uint32_t ib = step(s.randIndexB);
    const uint32_t ia = step(s.randIndexA);
    const uint32_t v = U(s.randTable[ia]) - U(s.randTable[ib]);
    s.randTable[ia] = W(v);
    const uint32_t n = U(b) - U(a) + 1;
    const uint32_t r = n == 0 ? v : v % n;  // a range of 0 holds every value
    return W(U(a) + r);
}

int32_t Src(const PluginState& s, int32_t x, int32_t y, int32_t z) {
    if (!(s.zStart <= z && z < s.zEnd)) return 0;
    x = Clamp(x, s.areaLeft, s.areaRight);
    y = Clamp(y, s.areaTop, s.areaBottom);
    const uint32_t offset = U(Sub(z, s.zStart)) + U(Sub(y, s.areaTop)) * U(s.inRowBytes) +
                            U(Sub(x, s.areaLeft)) * U(Sub(s.zEnd, s.zStart));
    return Sample(s, W(offset));
}

int32_t Cnv(const PluginState& s, const int32_t m[9], int32_t d) {
    const int32_t planes = Sub(s.zEnd, s.zStart);
    if (U(Sub(s.z, s.zStart)) >= U(planes)) return 0;
    uint32_t sum = 0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const int32_t col = Clamp(W(U(s.x) + U(j - 1)), s.areaLeft, s.areaRight);
            const int32_t row = Clamp(W(U(s.y) + U(i - 1)), s.areaTop, s.areaBottom);
            const uint32_t offset = U(Sub(s.z, s.zStart)) +
                                    U(Sub(row, s.areaTop)) * U(s.inRowBytes) +
                                    U(Sub(col, s.areaLeft)) * U(planes);
            sum += U(m[3 * i + j]) * Sample(s, W(offset));
        }
    }
    if (d == 0) return 0;
    if (d == -1) return W(0u - sum);
    return W(sum) / d;
}

int32_t Rad(const PluginState& s, int32_t d, int32_t m, int32_t z) {
    int32_t col = W(U(W(U(Sub(s.xEnd, s.xStart)) >> 1)) + U(Polar(s, d, m)));
    int32_t row = W(U(W(U(Sub(s.yEnd, s.yStart)) >> 1)) + U(Polar(s, W(U(d) - 256), m)));
    col = Clamp(col, 0, s.xEnd);
    row = Clamp(row, 0, s.yEnd);
    const int32_t planes = Sub(s.zEnd, s.zStart);
    if (U(z) >= U(planes)) return 0;
    const uint32_t offset = U(z) + U(row) * U(s.inRowBytes) + U(col) * U(planes);
    return Sample(s, W(offset));
}

int32_t SineAt(const PluginState& s, int32_t a) { return s.sineTable[Magnitude32(a) & 1023]; }

int32_t Binary(int code, int32_t a, int32_t b) {
    switch (code) {
    case kLogAnd: return a != 0 && b != 0;
    case kLogOr: return a != 0 || b != 0;
    case kAnd: return a & b;
    case kOr: return a | b;
    case kXor: return a ^ b;
    case kEq: return a == b;
    case kNe: return a != b;
    case kLt: return a < b;
    case kLe: return a <= b;
    case kGt: return a > b;
    case kGe: return a >= b;
    case kShl: return W(U(a) << (b & 31));
    case kShr: return W(U(a) >> (b & 31));
    case kAdd: return W(U(a) + U(b));
    case kSub: return W(U(a) - U(b));
    case kMul: return W(U(a) * U(b));
    // by -1: the quotient wraps, the remainder is 0 (no trap)
    case kDiv: return b == 0 ? 0 : b == -1 ? W(0u - U(a)) : a / b;
    case kRem: return b == 0 || b == -1 ? 0 : a % b;
    }
    return 0;
}

// Variables and functions: pop the arguments (rightmost first), push the result.
void Function(int code, PluginState& s, std::vector<int32_t>& st) {
    auto pop = [&st] {
        const int32_t v = st.back();
        st.pop_back();
        return v;
    };
    auto push = [&st](int32_t v) { st.push_back(v); };
    switch (code) {
    case kR: push(s.planeValue[0]); break;
    case kG: push(s.planeValue[1]); break;
    case kB: push(s.planeValue[2]); break;
    case kA: push(s.planeValue[3]); break;
    case kC: push(s.planeValue[U(Sub(s.z, s.zStart)) & 15]); break;  // in range in every pass
    case kI: push(Luma(s.planeValue[0], s.planeValue[1], s.planeValue[2], 76, 150, 29)); break;
    case kU: push(Luma(s.planeValue[0], s.planeValue[1], s.planeValue[2], -19, -37, 56)); break;
    case kV: push(Luma(s.planeValue[0], s.planeValue[1], s.planeValue[2], 78, -65, -13)); break;
    case kDir:
        push(Direction(s, W(U(s.x) - (U(Sub(s.xEnd, s.xStart)) >> 1)),
                       W(U(s.y) - (U(Sub(s.yEnd, s.yStart)) >> 1))));
        break;
    case kMag:
        push(Length(s, W(U(s.x) + U(Sub(s.xStart, s.xEnd) >> 1)),
                    W(U(s.y) + U(Sub(s.yStart, s.yEnd) >> 1))));
        break;
    case kR255:
    case kG255:
    case kB255:
    case kA255:
    case kI255:
    case kU255:
    case kV255:
    case kC255: push(255); break;
    case kD1024: push(1024); break;
    case kDiag: push(Length(s, s.xEnd, s.yEnd)); break;
    case kX: push(s.x); break;
    case kY: push(s.y); break;
    case kZ: push(s.z); break;
    case kXEnd: push(s.xEnd); break;
    case kYEnd: push(s.yEnd); break;
    case kZEnd: push(s.zEnd); break;
    case kMin: {
        const int32_t b = pop(), a = pop();
        push(b < a ? b : a);
        break;
    }
    case kMax: {
        const int32_t b = pop(), a = pop();
        push(b > a ? b : a);
        break;
    }
    case kAbs: {
        const int32_t a = pop();
        push(W(Magnitude32(a)));
        break;
    }
    case kAddLim: {
        const int32_t c = pop(), b = pop(), a = pop();
        const int32_t sum = W(U(a) + U(b));
        push(sum < c ? sum : c);
        break;
    }
    case kSubLim: {
        const int32_t c = pop(), b = pop(), a = pop();
        const int32_t diff = W(U(a) - U(b));
        push(diff > c ? diff : c);
        break;
    }
    case kDif: {
        const int32_t b = pop(), a = pop();
        push(W(Magnitude32(W(U(a) - U(b)))));
        break;
    }
    case kMix: {
        const int32_t d = pop(), n = pop(), b = pop(), a = pop();
        if (d == 0) {
            push(0);
            break;
        }
        push(W(U(Quotient64(int64_t(a) * n, d)) + U(Quotient64(int64_t(b) * W(U(d) - U(n)), d))));
        break;
    }
    case kScl: {
        const int32_t oh = pop(), ol = pop(), ih = pop(), il = pop(), a = pop();
        if (ih == il) {
            push(0);
            break;
        }
        const int64_t p = int64_t(W(U(a) - U(il))) * W(U(oh) - U(ol));
        push(W(U(ol) + U(Quotient64(p, W(U(ih) - U(il))))));
        break;
    }
    case kSqr: push(Sqr(pop())); break;
    case kRnd: {
        const int32_t b = pop(), a = pop();
        push(Rnd(s, a, b));
        break;
    }
    case kCtl: {
        const int32_t i = pop();
        push(i >= 0 && i <= 7 ? s.slider[i] : 0);
        break;
    }
    case kVal: {
        const int32_t b = pop(), a = pop(), i = pop();
        if (i < 0 || i > 7) {
            push(0);
            break;
        }
        push(W(U(a) + U(W(U(s.slider[i]) * (U(b) - U(a))) / 255)));
        break;
    }
    case kMap: {
        const int32_t n = pop(), i = pop();
        if (i < 0 || i > 3) {
            push(0);
            break;
        }
        push(s.mapTable[i][n < 0 ? 0 : n > 255 ? 255 : n]);
        break;
    }
    case kSrc: {
        const int32_t z = pop(), y = pop(), x = pop();
        push(Src(s, x, y, z));
        break;
    }
    case kCnv: {
        int32_t m[9];
        const int32_t d = pop();
        for (int k = 8; k >= 0; --k) m[k] = pop();
        push(Cnv(s, m, d));
        break;
    }
    case kRad: {
        const int32_t z = pop(), m = pop(), d = pop();
        push(Rad(s, d, m, z));
        break;
    }
    case kC2d: {
        const int32_t y = pop(), x = pop();
        push(Direction(s, x, y));
        break;
    }
    case kC2m: {
        const int32_t y = pop(), x = pop();
        push(Length(s, x, y));
        break;
    }
    case kR2x: {
        const int32_t m = pop(), d = pop();
        push(Polar(s, d, m));
        break;
    }
    case kR2y: {
        const int32_t m = pop(), d = pop();
        push(Polar(s, W(U(d) - 256), m));
        break;
    }
    case kSin: push(SineAt(s, W(U(pop()) - 256)) >> 5); break;
    case kCos: push(SineAt(s, pop()) >> 5); break;
    case kTan: {
        const int32_t a = pop();
        const int32_t c = SineAt(s, a), sn = SineAt(s, W(U(a) - 256));
        push(c == 0 ? 0 : sn * 1024 / c);
        break;
    }
    case kGet: {
        const int32_t i = pop();
        push(i >= 0 && i <= 255 ? s.cell[i] : i);
        break;
    }
    case kPut: {
        const int32_t i = pop(), v = pop();
        if (i >= 0 && i <= 255) s.cell[i] = v;
        push(v);
        break;
    }
    }
}

}  // namespace

const char* OpName(int code) { return code >= 0 && code < kNameCount ? kNames[code] : "?"; }

Program Compile(ByteTable funcs, const char* base, int32_t start, int32_t end, int32_t capacity) {
    Program program;
    Lexer lex;
    LexerInit(lex, base + start, base + end);
    RecordingEmitter emitter(capacity, program);
    program.failed = ParseFormula(lex, funcs, emitter) ? 0 : 1;
    TokenRange(lex, &program.errorStart, &program.errorEnd);
    return program;
}

Program Compile(const std::string& text, int32_t capacity) {
    return Compile(native::Funcs(), text.data(), 0, int32_t(text.size()), capacity);
}

int32_t Run(const Program& program, PluginState* state) {
    PluginState& s = *state;
    std::vector<int32_t> st;
    st.reserve(64);
    auto pop = [&st] {
        const int32_t v = st.back();
        st.pop_back();
        return v;
    };
    auto push = [&st](int32_t v) { st.push_back(v); };

    for (const Op& op : program.ops) {
        switch (op.code) {
        case kError: return 0;
        case kProlog: break;
        case kEpilog: return st.back();
        case kNumber: push(op.value); break;
        case kComma: pop(); break;
        case kCond: {
            const int32_t f = pop(), t = pop(), c = pop();
            push(c != 0 ? t : f);
            break;
        }
        case kNot: push(pop() == 0); break;
        case kCompl: push(~pop()); break;
        case kNeg: push(W(0u - U(pop()))); break;
        case kLogAnd:
        case kLogOr:
        case kAnd:
        case kOr:
        case kXor:
        case kEq:
        case kNe:
        case kLt:
        case kLe:
        case kGt:
        case kGe:
        case kShl:
        case kShr:
        case kAdd:
        case kSub:
        case kMul:
        case kDiv:
        case kRem: {
            const int32_t b = pop(), a = pop();
            push(Binary(op.code, a, b));
            break;
        }
        default: Function(op.code, s, st); break;
        }
    }
    return st.empty() ? 0 : st.back();  // a program always ends in "error" or "epilog"
}

}  // namespace reference
