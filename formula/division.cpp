// Completion of faulting div and idiv instructions.
#include "formula/division.h"

namespace {

constexpr uint8_t kGroup3 = 0xF7;       // F7 /r: not, neg, mul, imul, div, idiv on r/m32
constexpr uint8_t kModRegister = 0xC0;  // mod = 11: the operand is a register
constexpr int kDivReg = 6, kIdivReg = 7;
constexpr int kLength = 2;  // opcode and ModRM byte

}  // namespace

int CompleteDivision(const uint8_t* code, uint32_t regs[kRegisterCount]) {
    if (code[0] != kGroup3 || (code[1] & kModRegister) != kModRegister) return 0;
    const int op = (code[1] >> 3) & 7;
    if (op != kDivReg && op != kIdivReg) return 0;
    const uint32_t divisor = regs[code[1] & 7];
    const uint64_t dividend = (uint64_t(regs[kEdx]) << 32) | regs[kEax];
    uint32_t quotient = 0, remainder = 0;
    if (divisor != 0 && op == kDivReg) {
        quotient = uint32_t(dividend / divisor);
        remainder = uint32_t(dividend % divisor);
    } else if (divisor != 0) {
        const int64_t n = int64_t(dividend);
        const int64_t d = int32_t(divisor);
        // The one 64-bit quotient that does not fit 64 bits either: its low
        // 32 bits are 0 and the division is exact.
        if (d == -1) {
            quotient = uint32_t(0 - dividend);
        } else {
            quotient = uint32_t(uint64_t(n / d));
            remainder = uint32_t(uint64_t(n % d));
        }
    }
    regs[kEax] = quotient;
    regs[kEdx] = remainder;
    return kLength;
}
