#pragma once
// The boundary of every export: C++ exceptions of any type and processor faults
// (access violations, division by zero, illegal instructions...) raised by the
// library's own code or by the C runtime it calls become result code 2 instead
// of reaching the host. GCC has no __try/__except, so faults are caught by a
// vectored exception handler that jumps back to the innermost guarded call of
// the thread. A fault skips the destructors between the fault and the boundary;
// the library is in an unknown state afterwards, which is why the host is told.
#include <windows.h>

#include <csetjmp>

namespace orvox {

struct FaultFrame {
    std::jmp_buf jumpBuffer;
    FaultFrame* previous;
};

// Installs the handler for faults inside `module` (the library) and the C runtime.
void installFaultHandler(HMODULE module);
void removeFaultHandler();

void pushFaultFrame(FaultFrame* frame);
void popFaultFrame(FaultFrame* frame);

constexpr int kExceptionResult = 2;

// Runs body() and returns its result; `onFailure` when an exception or a
// processor fault leaves it.
template <class Body>
__attribute__((noinline)) int guardedCall(Body&& body, int onFailure = kExceptionResult) noexcept
{
    FaultFrame frame{};
    pushFaultFrame(&frame);
    if (setjmp(frame.jumpBuffer)) {
        // The handler has already unlinked the frame.
        return onFailure;
    }
    int result;
    try {
        result = body();
    } catch (...) {
        result = onFailure;
    }
    popFaultFrame(&frame);
    return result;
}

} // namespace orvox
