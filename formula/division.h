// Completion of a division that faulted inside compiled code.
//
// A few templates leave their rare divisions to the processor: "/" and "%"
// of the most negative value by -1, mix and scl whose quotient leaves 32
// bits, cnv of the most negative sum by -1, tan of a zero cosine, mix by 0.
// The processor faults there; the fault guard (formula/native.h) asks this
// routine to finish the instruction as the language wants it and resumes
// behind it. Portable: no platform headers, tested on its own.
#pragma once
#include <cstdint>

// The general registers in their i386 encoding order.
enum DivisionRegister { kEax, kEcx, kEdx, kEbx, kEsp, kEbp, kEsi, kEdi, kRegisterCount };

// If `code` starts with "div r32" or "idiv r32" (F7 /6 or F7 /7 with a
// register operand, the only form the templates use), completes it on
// `regs`: EAX = the low 32 bits of the quotient of EDX:EAX by the register
// (signed for idiv), EDX = the remainder; both 0 for a divisor of 0. Returns
// the length of the instruction (2), or 0 when `code` is no such instruction
// (then `regs` is unchanged).
int CompleteDivision(const uint8_t* code, uint32_t regs[kRegisterCount]);
