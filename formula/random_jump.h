// Jumping the random generator ahead: the state that a number of rnd calls
// would leave, computed without making them, so that a band of the image can
// start from the generator state its first pixel would find.
//
// rnd is a lagged subtractive generator. Each call writes at the next index
// the value written 55 calls ago less the one written 24 calls ago
// (randIndexB runs 31 places ahead of randIndexA), so the values it writes
// follow the linear recurrence u(n + 55) = u(n) - u(n + 31) in 32-bit
// arithmetic. Then u(n + N) is the same combination of u(n) .. u(n + 54) for
// every n: its coefficients are those of x^N modulo x^55 + x^31 - 1.
//
// Portable: no platform headers.
#pragma once
#include <cstdint>

struct PluginState;

// The generator of `state` can be jumped: both indices in 0..55 (0 is the
// place before 1, as after the run set-up) with randIndexB 31 places ahead of
// randIndexA. Compiled code keeps that relation; only a damaged block breaks it.
bool RandomJumpable(const PluginState* state);

class RandomJump {
public:
    static constexpr int kLag = 55;

    // The jump over `steps` calls: x^steps modulo the recurrence, some 40
    // squarings of a polynomial of 55 terms (tens of microseconds).
    explicit RandomJump(uint64_t steps = 0);
    uint64_t Steps() const { return steps_; }

    // This jump followed by `next`: one polynomial product, some microseconds.
    RandomJump Then(const RandomJump& next) const;

    // Brings randIndexA, randIndexB and randTable of a jumpable `state` to
    // where `steps` rnd calls would leave them.
    void Apply(PluginState* state) const;

private:
    uint64_t steps_;
    uint32_t coef_[kLag];
};
