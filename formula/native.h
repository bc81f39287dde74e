// Running compiled formulas natively: executable code buffers and the fault
// guard of a pass. The declarations are portable; the implementation is the
// platform's (formula/native.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

// Lets the processor execute `bytes` bytes at `code` (and keeps them
// writable). False when the platform refuses: then no code may run there.
bool MakeExecutable(void* code, std::size_t bytes);

// Makes freshly written code visible to the processor.
void FlushCode(const void* code, std::size_t bytes);

// While a FaultGuard lives, a division fault whose instruction lies in
// [begin, end) is completed (formula/division.h) and the code resumes
// behind it, on whichever thread of the process it happens. Nothing else is touched: other faults, and faults elsewhere,
// go on to whoever handles them. Installed for the length of a pass only;
// nothing stays installed once the guard is gone. One guard at a time.
class FaultGuard {
public:
    FaultGuard(const uint8_t* begin, const uint8_t* end);
    ~FaultGuard();
    FaultGuard(const FaultGuard&) = delete;
    FaultGuard& operator=(const FaultGuard&) = delete;

private:
    void* handler_;
};
