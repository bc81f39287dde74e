// Random formulas drawn from the grammar.
#include "tests/formula/formula_generator.h"
#include <cstdio>

namespace formula_gen {
namespace {

const char* const kBinary[] = {"||", "&&", "|", "^",  "&", "<<", ">>", "==", "!=",
                               "<",  "<=", ">", ">=", "+", "-",  "*",  "/",  "%"};
const char* const kUnary[] = {"!", "~", "-", "+"};
const char* const kVariables[] = {"r", "g", "b", "a", "c", "i", "u", "v", "d", "m", "R", "G", "B",
                                  "A", "C", "I", "U", "V", "D", "M", "x", "y", "z", "X", "Y", "Z"};
struct Function {
    const char* name;
    int arity;
};
const Function kFunctions[] = {{"min", 2}, {"max", 2}, {"abs", 1}, {"add", 3}, {"sub", 3},
                               {"dif", 2}, {"mix", 4}, {"scl", 5}, {"sqr", 1}, {"rnd", 2},
                               {"ctl", 1}, {"val", 3}, {"map", 2}, {"src", 3}, {"cnv", 10},
                               {"rad", 3}, {"c2d", 2}, {"c2m", 2}, {"r2x", 2}, {"r2y", 2},
                               {"sin", 1}, {"cos", 1}, {"tan", 1}, {"get", 1}, {"put", 2}};
const int64_t kBoundaries[] = {0,          1,           -1,
                               2,          3,           4,
                               7,          8,           31,
                               32,         55,          56,
                               255,        256,         257,
                               -255,       -256,        511,
                               512,        768,         1023,
                               1024,       -1024,       1025,
                               2097151,    2097152,     -2097152,
                               4194304,    65535,       65536,
                               2147483647, -2147483647, -2147483648LL,
                               2147483646};

template <typename T, int N>
constexpr int Count(const T (&)[N]) {
    return N;
}

std::string Space(Random& rng) {
    if (!rng.Chance(8)) return " ";
    switch (rng.Below(5)) {
    case 0: return "";
    case 1: return "\t";
    case 2: return "\r\n";
    case 3: return " // note\r";
    default: return "  ";
    }
}

std::string Spell(Random& rng, uint32_t magnitude) {
    char buf[32];
    switch (rng.Below(6)) {
    case 0: std::snprintf(buf, sizeof buf, "0x%X", magnitude); break;
    case 1: std::snprintf(buf, sizeof buf, "0x%x", magnitude); break;
    case 2: std::snprintf(buf, sizeof buf, magnitude ? "0%o" : "0", magnitude); break;
    default: std::snprintf(buf, sizeof buf, "%u", magnitude); break;
    }
    return buf;
}

class Builder {
public:
    Builder(Random& rng, const Options& options) : rng_(rng), options_(options) {}

    std::string Top() {
        std::string out = Conditional(0);
        while (rng_.Chance(15)) out += Space(rng_) + "," + Space(rng_) + Conditional(0);
        return out;
    }

private:
    std::string Conditional(int depth) {
        if (depth < options_.maxDepth && rng_.Chance(8))
            return Expr(depth + 1) + " ? " + Conditional(depth + 1) + " : " +
                   Conditional(depth + 1);
        return Expr(depth);
    }

    std::string Expr(int depth) {
        if (depth >= options_.maxDepth || rng_.Chance(depth * 12 + 10)) return Atom();
        switch (rng_.Below(10)) {
        case 0:
        case 1:
        case 2:
            return Expr(depth + 1) + Space(rng_) + kBinary[rng_.Below(Count(kBinary))] +
                   Space(rng_) + Expr(depth + 1);
        case 3: return std::string(kUnary[rng_.Below(Count(kUnary))]) + " " + Expr(depth + 1);
        case 4: return "(" + Conditional(depth + 1) + ")";
        default: {
            const Function& f = kFunctions[rng_.Below(Count(kFunctions))];
            std::string out = std::string(f.name) + (rng_.Chance(5) ? " (" : "(");
            for (int k = 0; k < f.arity; ++k) {
                if (k) out += "," + Space(rng_);
                out += Argument(f.name, k, depth + 1);
            }
            return out + ")";
        }
        }
    }

    // Arguments that often land in the interesting range of each function.
    std::string Argument(const char* name, int k, int depth) {
        if (rng_.Chance(55)) return Conditional(depth);
        const std::string n = name;
        if ((n == "ctl" || n == "val") && k == 0) return std::to_string(rng_.Range(-1, 8));
        if (n == "map" && k == 0) return std::to_string(rng_.Range(-1, 4));
        if ((n == "get" && k == 0) || (n == "put" && k == 1))
            return std::to_string(rng_.Range(-2, 257));
        if ((n == "src" || n == "rad") && k == 2)
            return rng_.Chance(50) ? "z" : std::to_string(rng_.Range(-1, 4));
        if (n == "cnv" && k < 9) return std::to_string(rng_.Range(-3, 3));
        if (n == "cnv" && k == 9) return std::to_string(rng_.Range(-2, 9));
        return Atom();
    }

    std::string Atom() {
        if (rng_.Chance(45)) return Literal(rng_);
        return kVariables[rng_.Below(Count(kVariables))];
    }

    Random& rng_;
    const Options& options_;
};

}  // namespace

std::string Literal(Random& rng) {
    int64_t v;
    if (rng.Chance(70)) {
        v = kBoundaries[rng.Below(Count(kBoundaries))];
    } else if (rng.Chance(50)) {
        v = rng.Range(-300, 300);
    } else {
        v = rng.Any();
    }
    const uint32_t magnitude = uint32_t(v < 0 ? -v : v);
    return v < 0 ? "-" + Spell(rng, magnitude) : Spell(rng, magnitude);
}

std::string Formula(Random& rng, const Options& options) {
    for (;;) {
        std::string text = Builder(rng, options).Top();
        if (int(text.size()) <= options.maxLength) return text;
    }
}

std::string Mutated(Random& rng, const Options& options) {
    std::string text = Formula(rng, options);
    const int edits = 1 + int(rng.Below(3));
    for (int k = 0; k < edits; ++k) {
        const uint32_t at = rng.Below(uint32_t(text.size()) + 1);
        const char byte =
            char(rng.Chance(50) ? "=()?:,;.x0_\x0B"[rng.Below(12)] : char(rng.Below(256)));
        switch (rng.Below(3)) {
        case 0: text.insert(text.begin() + at, byte); break;
        case 1:
            if (at < text.size()) text.erase(at, 1);
            break;
        default:
            if (at < text.size()) text[at] = byte;
            break;
        }
    }
    if (int(text.size()) > options.maxLength) text.resize(size_t(options.maxLength));
    return text;
}

}  // namespace formula_gen
