// The settings codec against random and mutated files: never a crash, never a
// write outside the slider and formula fields, formulas always terminated
// within their slots, slider values always 0..255; and random formulas make
// the round trip as the format promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "plugin_ui/settings_codec.h"

namespace {

constexpr uint8_t kMarker = 0xA5;

FilterDefinition Marked() {
    FilterDefinition d;
    std::memset(&d, kMarker, sizeof d);
    return d;
}

// What must hold after any decode, successful or not.
void ExpectSane(const FilterDefinition& before, const FilterDefinition& after, bool ok,
                const std::string& file) {
    size_t sliders = offsetof(FilterDefinition, sliderValue),
           formulas = offsetof(FilterDefinition, formula);
    auto* b = reinterpret_cast<const uint8_t*>(&before);
    auto* a = reinterpret_cast<const uint8_t*>(&after);
    ASSERT_EQ(std::memcmp(a, b, sliders), 0);
    ASSERT_EQ(std::memcmp(a + sliders + 32, b + sliders + 32, formulas - sliders - 32), 0)
        << "a field between the sliders and the formulas changed";
    if (!ok) return;
    for (int32_t v : after.sliderValue) ASSERT_TRUE(v >= 0 && v <= 255) << v;
    for (const char* f : after.formula)
        ASSERT_NE(std::memchr(f, 0, kFormulaCapacity), nullptr) << file;
}

// What a formula becomes after a save and a load: every piece of 63 bytes
// (62 when the 63rd is a CR before an LF) on its own, a carriage return comes
// back with a line feed (one that followed it in the same piece is the same
// line break), cut before the first piece that does not fit 1023 bytes.
std::string AfterRoundTrip(const std::string& formula) {
    std::string out;
    size_t counted = 0;
    for (size_t at = 0, n; at < formula.size(); at += n) {
        n = std::min<size_t>(63, formula.size() - at);
        if (at + n < formula.size() && formula[at + n - 1] == '\r' && formula[at + n] == '\n') --n;
        std::string piece = formula.substr(at, n), back;
        for (size_t i = 0; i < piece.size(); ++i) {
            back += piece[i];
            if (piece[i] != '\r') continue;
            back += '\n';
            if (i + 1 < piece.size() && piece[i + 1] == '\n') ++i;
        }
        if (counted + back.size() < 1024) out += back;
        counted += back.size();
    }
    return out;
}

std::string RandomFormula(std::mt19937& rng) {
    static const char kCommon[] = "rgbacxyz()+-*/,?:<>=!&|^~%0123456789 \r\n\t\\\"'";
    std::uniform_int_distribution<int> length(0, 1023), kind(0, 9), any(1, 255),
        common(0, sizeof kCommon - 2);
    std::string f(size_t(length(rng)), ' ');
    for (char& c : f) c = kind(rng) < 7 ? kCommon[common(rng)] : char(any(rng));
    return f;
}

}  // namespace

TEST(SettingsFuzz, RandomFormulasRoundTripAsTheFormatPromises) {
    std::mt19937 rng(1234);
    for (int n = 0; n < 2000; ++n) {
        FilterDefinition in = Marked(), out = Marked();
        std::string f[4];
        for (int k = 0; k < 4; ++k) {
            f[k] = RandomFormula(rng);
            std::memcpy(in.formula[k], f[k].c_str(), f[k].size() + 1);
        }
        for (int32_t& v : in.sliderValue) v = int32_t(rng() % 256);
        std::string file = EncodeSettings(in);
        MemoryByteSource source(file);
        ASSERT_TRUE(DecodeSettings(source, out)) << n;
        ASSERT_EQ(source.position(), file.size());
        for (int k = 0; k < 4; ++k)
            ASSERT_EQ(std::string(out.formula[k]), AfterRoundTrip(f[k])) << n << " " << k;
        ASSERT_EQ(std::memcmp(in.sliderValue, out.sliderValue, sizeof in.sliderValue), 0);
    }
}

TEST(SettingsFuzz, RandomBytesNeverCrashOrOverrun) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> length(0, 3000), byte(0, 255), crEvery(1, 80);
    for (int n = 0; n < 3000; ++n) {
        std::string file = "%RGB-1.0\r";  // most files get past the magic
        if (n % 10 == 0) file.clear();
        int size = length(rng), every = crEvery(rng);
        for (int i = 0; i < size; ++i) file += (i % every == every - 1) ? '\r' : char(byte(rng));
        FilterDefinition before = Marked(), after = Marked();
        MemoryByteSource source(file);
        bool ok = DecodeSettings(source, after);
        ExpectSane(before, after, ok, file);
    }
}

TEST(SettingsFuzz, MutatedFilesLoadCompletelyOrFail) {
    std::mt19937 rng(7);
    for (int n = 0; n < 3000; ++n) {
        FilterDefinition in = Marked();
        for (char* slot : in.formula) {
            std::string f = RandomFormula(rng);
            std::memcpy(slot, f.c_str(), f.size() + 1);
        }
        std::string file = EncodeSettings(in);
        int edits = 1 + int(rng() % 8);
        for (int e = 0; e < edits && !file.empty(); ++e) {
            size_t at = rng() % file.size();
            switch (rng() % 5) {
            case 0: file[at] = char(rng()); break;
            case 1: file.erase(at, 1 + rng() % 40); break;
            case 2: file.insert(at, 1, char(rng() % 2 ? '\r' : '\\')); break;
            case 3: file.insert(at, std::string(1 + rng() % 400, char('A' + rng() % 26))); break;
            case 4: file.resize(at); break;
            }
        }
        FilterDefinition before = Marked(), after = Marked();
        MemoryByteSource source(file);
        bool ok = DecodeSettings(source, after);
        ExpectSane(before, after, ok, file);
    }
}
