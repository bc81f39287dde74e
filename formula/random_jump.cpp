// The jump-ahead of the random generator (see random_jump.h).
#include "formula/random_jump.h"
#include <cstring>
#include "interface/state.h"

namespace {

constexpr int kLag = RandomJump::kLag;
constexpr int kShortLag = 24;  // u(n) = u(n - 55) - u(n - 24)
constexpr int kAhead = 31;     // randIndexB - randIndexA
constexpr int kProduct = 2 * kLag - 1;

// Brings a polynomial of degree below 2 * 55 - 1 back below 55, with
// x^55 = 1 - x^31, so x^d = x^(d - 55) - x^(d - 24); from the top down,
// because d - 24 may still be 55 or more.
void Reduce(uint32_t (&c)[kProduct]) {
    for (int d = kProduct - 1; d >= kLag; --d) {
        const uint32_t v = c[d];
        c[d] = 0;
        c[d - kLag] += v;
        c[d - kShortLag] -= v;
    }
}

// out = a * b modulo the recurrence.
void Multiply(const uint32_t* a, const uint32_t* b, uint32_t* out) {
    uint32_t product[kProduct] = {};
    for (int i = 0; i < kLag; ++i) {
        if (!a[i]) continue;
        for (int j = 0; j < kLag; ++j) product[i + j] += a[i] * b[j];
    }
    Reduce(product);
    std::memcpy(out, product, sizeof(uint32_t) * kLag);
}

// Index 1..55 of the table entry `k` places after index `at` (0..55).
int Entry(int at, uint64_t k) { return int((uint64_t(at % kLag) + k) % kLag) + 1; }

}  // namespace

bool RandomJumpable(const PluginState* s) {
    const int a = uint16_t(s->randIndexA), b = uint16_t(s->randIndexB);
    return a <= kLag && b <= kLag && (b - a + kLag) % kLag == kAhead;
}

RandomJump::RandomJump(uint64_t steps) : steps_(steps), coef_{1} {
    // x^steps, bit by bit from the top: square, and times x for a set bit.
    for (int bit = 63; bit >= 0; --bit) {
        if ((steps >> bit) == 0) continue;
        uint32_t c[kProduct] = {};
        Multiply(coef_, coef_, c);
        if ((steps >> bit) & 1) {
            std::memmove(c + 1, c, sizeof(uint32_t) * kLag);
            c[0] = 0;
            Reduce(c);
        }
        std::memcpy(coef_, c, sizeof coef_);
    }
}

RandomJump RandomJump::Then(const RandomJump& next) const {
    RandomJump both(0);
    both.steps_ = steps_ + next.steps_;
    Multiply(coef_, next.coef_, both.coef_);
    return both;
}

void RandomJump::Apply(PluginState* s) const {
    if (steps_ == 0) return;
    // u(0) .. u(54): the entries from the next one to be written on, the
    // oldest first; then the 54 values the generator would write next.
    const int a = uint16_t(s->randIndexA);
    uint32_t u[kProduct];
    for (int k = 0; k < kLag; ++k) u[k] = uint32_t(s->randTable[Entry(a, k)]);
    for (int k = kLag; k < kProduct; ++k) u[k] = u[k - kLag] - u[k - kShortLag];
    // After the jump the same places hold u(steps) .. u(steps + 54).
    for (int j = 0; j < kLag; ++j) {
        uint32_t v = 0;
        for (int k = 0; k < kLag; ++k) v += coef_[k] * u[j + k];
        s->randTable[Entry(a, steps_ + j)] = int32_t(v);
    }
    // Each index has moved `steps` places, ending on the last one written.
    s->randIndexA = int16_t(Entry(a, steps_ - 1));
    s->randIndexB = int16_t(Entry(uint16_t(s->randIndexB), steps_ - 1));
}
