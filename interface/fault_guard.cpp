#include "interface/fault_guard.h"

namespace orvox {

namespace {

thread_local FaultFrame* t_top = nullptr;
PVOID g_handler = nullptr;
HMODULE g_module = nullptr;

bool isProcessorFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
        return true;
    default:
        // A stack overflow cannot be recovered on the same stack; the system's
        // own handling is left to it.
        return false;
    }
}

// Faults elsewhere (the system's own probing code raises and handles access
// violations internally) belong to their own handlers.
bool isOurs(void* address)
{
    HMODULE owner = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &owner))
        return false;
    if (owner == g_module) return true;
    return owner == GetModuleHandleA("msvcrt.dll") || owner == GetModuleHandleA("ucrtbase.dll");
}

LONG CALLBACK faultHandler(EXCEPTION_POINTERS* info)
{
    FaultFrame* frame = t_top;
    if (!frame || !isProcessorFault(info->ExceptionRecord->ExceptionCode) ||
        !isOurs(info->ExceptionRecord->ExceptionAddress))
        return EXCEPTION_CONTINUE_SEARCH;
    t_top = frame->previous;
    std::longjmp(frame->jumpBuffer, 1);
}

} // namespace

void installFaultHandler(HMODULE module)
{
    g_module = module;
    if (!g_handler) g_handler = AddVectoredExceptionHandler(1, faultHandler);
}

void removeFaultHandler()
{
    if (g_handler) RemoveVectoredExceptionHandler(g_handler);
    g_handler = nullptr;
}

void pushFaultFrame(FaultFrame* frame)
{
    frame->previous = t_top;
    t_top = frame;
}

void popFaultFrame(FaultFrame* frame)
{
    if (t_top == frame) t_top = frame->previous;
}

} // namespace orvox
