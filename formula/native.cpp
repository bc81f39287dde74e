// Win32 side of running compiled formulas: page protection, the instruction
// cache and a vectored exception handler for the length of a pass.
#include "formula/native.h"
#include <windows.h>
#include "formula/division.h"

namespace {

// The code range of the guard in place. Set before a pass starts its
// workers and cleared after they have ended, so the handler reads it on
// whichever thread faults; the host calls us on one thread, and a guard
// lives only inside that call.
const uint8_t* gGuardBegin = nullptr;
const uint8_t* gGuardEnd = nullptr;

LONG CALLBACK CompleteFaultingDivision(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_INT_DIVIDE_BY_ZERO && code != EXCEPTION_INT_OVERFLOW)
        return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT* c = info->ContextRecord;
    const auto* at = reinterpret_cast<const uint8_t*>(uintptr_t(c->Eip));
    // The whole instruction (two bytes) must lie in the code buffers.
    if (at < gGuardBegin || at + 2 > gGuardEnd) return EXCEPTION_CONTINUE_SEARCH;
    uint32_t regs[kRegisterCount] = {uint32_t(c->Eax), uint32_t(c->Ecx), uint32_t(c->Edx),
                                     uint32_t(c->Ebx), uint32_t(c->Esp), uint32_t(c->Ebp),
                                     uint32_t(c->Esi), uint32_t(c->Edi)};
    const int length = CompleteDivision(at, regs);
    if (length == 0) return EXCEPTION_CONTINUE_SEARCH;
    c->Eax = regs[kEax];
    c->Edx = regs[kEdx];
    c->Eip += DWORD(length);
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

bool MakeExecutable(void* code, std::size_t bytes) {
    DWORD old;
    return VirtualProtect(code, bytes, PAGE_EXECUTE_READWRITE, &old) != 0;
}

void FlushCode(const void* code, std::size_t bytes) {
    FlushInstructionCache(GetCurrentProcess(), code, bytes);
}

FaultGuard::FaultGuard(const uint8_t* begin, const uint8_t* end) {
    gGuardBegin = begin;
    gGuardEnd = end;
    // First in line: a host's own handler must not see faults we complete.
    handler_ = AddVectoredExceptionHandler(1, CompleteFaultingDivision);
}

FaultGuard::~FaultGuard() {
    if (handler_) RemoveVectoredExceptionHandler(handler_);
    gGuardBegin = gGuardEnd = nullptr;
}
