// Grammar-driven random formulas for differential tests and benchmarks.
//
// Seeded and reproducible: the same seed gives the same formulas on every
// machine. Formulas use every operator, variable and function of the
// language, nest deeply, write literals at the interesting boundaries in
// decimal, hexadecimal and octal, and sprinkle whitespace and comments.
#pragma once
#include <cstdint>
#include <string>

namespace formula_gen {

// A small, fast, portable generator (xorshift64*).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    uint32_t Below(uint32_t n) { return n ? uint32_t(Next() >> 32) % n : 0; }
    int32_t Range(int32_t lo, int32_t hi) {
        return int32_t(int64_t(lo) + Below(uint32_t(int64_t(hi) - lo + 1)));
    }
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    int32_t Any() { return int32_t(uint32_t(Next() >> 32)); }

private:
    uint64_t state_;
};

struct Options {
    int maxDepth = 7;      // nesting of operators and calls
    int maxLength = 1023;  // characters; longer formulas are drawn again
};

// A well-formed formula (it may still exceed the code capacity).
std::string Formula(Random& rng, const Options& options = {});

// A formula with one to three random byte edits, mostly no longer well formed.
std::string Mutated(Random& rng, const Options& options = {});

// A literal from the boundary set or at random, as the formula would spell it
// (a leading "-" for negative values).
std::string Literal(Random& rng);

}  // namespace formula_gen
