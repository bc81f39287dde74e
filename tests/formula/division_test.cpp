// Completion of faulting divisions, on register sets alone: which
// instructions are completed, and with what.
#include <gtest/gtest.h>
#include <cstdint>
#include "formula/division.h"

namespace {

struct Regs {
    uint32_t r[kRegisterCount] = {};
};

Regs Divide(uint8_t modrm, uint32_t edxv, uint32_t eaxv, int divisorReg, uint32_t divisor,
            int* length) {
    Regs regs;
    regs.r[kEdx] = edxv;
    regs.r[kEax] = eaxv;
    regs.r[divisorReg] = divisor;
    const uint8_t code[2] = {0xF7, modrm};
    *length = CompleteDivision(code, regs.r);
    return regs;
}

constexpr uint8_t kIdivEcx = 0xF9, kDivEcx = 0xF1, kIdivEsi = 0xFE, kDivEsi = 0xF6;

TEST(Division, SignedQuotientsKeepTheirLow32Bits) {
    int length = 0;
    // The most negative value by -1: the quotient 2^31 wraps to itself, remainder 0.
    Regs r = Divide(kIdivEcx, 0xFFFFFFFF, 0x80000000, kEcx, 0xFFFFFFFF, &length);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(r.r[kEax], 0x80000000u);
    EXPECT_EQ(r.r[kEdx], 0u);
    // (2^40 + 7) / 2: quotient 2^39 + 3 keeps its low 32 bits, remainder 1.
    r = Divide(kIdivEsi, 0x100, 7, kEsi, 2, &length);
    EXPECT_EQ(r.r[kEax], 3u);
    EXPECT_EQ(r.r[kEdx], 1u);
    // A negative dividend: -(2^40 + 7) / 2 truncates toward zero, remainder -1.
    const uint64_t n = 0 - ((uint64_t(1) << 40) + 7);
    r = Divide(kIdivEcx, uint32_t(n >> 32), uint32_t(n), kEcx, 2, &length);
    EXPECT_EQ(r.r[kEax], uint32_t(0 - 3u));
    EXPECT_EQ(r.r[kEdx], 0xFFFFFFFFu);
}

TEST(Division, UnsignedQuotientsAndZeroDivisors) {
    int length = 0;
    Regs r = Divide(kDivEsi, 5, 9, kEsi, 4, &length);  // (5 * 2^32 + 9) / 4
    EXPECT_EQ(length, 2);
    EXPECT_EQ(r.r[kEax], uint32_t(((uint64_t(5) << 32) + 9) / 4));
    EXPECT_EQ(r.r[kEdx], 1u);
    for (uint8_t modrm : {kIdivEcx, kDivEcx}) {
        r = Divide(modrm, 123, 456, kEcx, 0, &length);
        EXPECT_EQ(length, 2);
        EXPECT_EQ(r.r[kEax], 0u);
        EXPECT_EQ(r.r[kEdx], 0u);
        EXPECT_EQ(r.r[kEcx], 0u);
    }
}

TEST(Division, OtherInstructionsAreLeftAlone) {
    const uint8_t others[][2] = {
        {0xF7, 0x3D},  // idiv dword [disp32]: a memory operand
        {0xF7, 0x7E},  // idiv dword [esi + disp8]
        {0xF7, 0xE9},  // imul ecx
        {0xF7, 0xD8},  // neg eax
        {0xF6, 0xF9},  // idiv cl (byte form)
        {0x99, 0xF7},  // cdq
    };
    for (const auto& code : others) {
        uint32_t regs[kRegisterCount] = {1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_EQ(CompleteDivision(code, regs), 0) << int(code[0]) << " " << int(code[1]);
        for (int k = 0; k < kRegisterCount; ++k) EXPECT_EQ(regs[k], uint32_t(k + 1));
    }
}

}  // namespace
