// The fault guard. The plug-in asks the host which editor is current at any
// moment, also while no editor is, and a host that faults on that question must
// not be brought down by it: the fault only means "no current editor". A C++
// catch does not see a Windows fault (and the plug-in is built without C++
// exceptions), so the guard works with the system's own exception dispatch:
//
// - On entry RtlCaptureContext records the registers as the guarded call begins:
//   the resumption point, like a setjmp that saves every register.
// - While the call runs, a vectored exception handler of ours is registered. It
//   acts only on the thread that armed the guard and only for continuable fault
//   codes (not for C++ exceptions, breakpoints or other software exceptions). It
//   loads the recorded registers into the faulting thread's context and lets it
//   continue: the thread comes back out of RtlCaptureContext a second time, in the
//   guard's own frame and on its own stack, sees the fault flag and returns the
//   fault result. The faulting call's frames below are simply abandoned.
// - Loading the whole recorded context puts back every register the calling
//   convention wants kept (on x86_64 also xmm6 to xmm15 and the MXCSR), whatever
//   the abandoned call had done with them, with no code per architecture.
// - The TEB's ExceptionList is put back to its value at entry. On i686 it is the
//   chain of frame-based handlers: records the host registered inside the call
//   live in the abandoned frames and must not stay linked. On x86_64 the field is
//   unused; writing its own value back changes nothing.
// - The handler is removed again when the outermost guard returns, so none of
//   ours outlives the call, let alone the DLL.
//
// Limits, by design: a vectored handler runs before the frame-based ones, so a
// fault that the host would have handled itself inside the call counts as a
// failed call too; the abandoned call's own clean-up (its __finally blocks, its
// destructors) does not run. A stack overflow is left alone: after one the stack
// has lost its guard page, and resuming would leave the thread without it.
// Guards nest on one thread (the host may call the plug-in back inside the
// guarded call); while one thread holds the guard, another calls plainly.
#include "plugin/fault_guard.h"

#if defined(_WIN32)

#include <windows.h>

// Declared again to tell the compiler that it returns twice: once as called, and
// once more when a fault resumes the thread at the registers it recorded.
extern "C" __attribute__((returns_twice)) DECLSPEC_IMPORT VOID NTAPI
RtlCaptureContext(PCONTEXT ContextRecord);

namespace tarvik {

namespace {

// One armed guard, in the frame of RunArmed.
struct TGuardFrame {
    CONTEXT Entry;                                 // registers at the resumption point
    struct _EXCEPTION_REGISTRATION_RECORD* Chain;  // the TEB's ExceptionList at entry
    TGuardFrame* Outer;                            // the guard this one nests in, or null
    volatile LONG Faulted;                         // set by the handler before resuming
};

volatile LONG OwnerThread = 0;              // the thread holding the guard; 0 when none
TGuardFrame* volatile Innermost = nullptr;  // the owner's innermost armed guard
PVOID Handler = nullptr;                    // the registered handler while a guard is held

// The thread's information block. GCC 12 takes the fs- or gs-relative read of
// NtCurrentTeb for an access to address 0x18 or 0x30 and warns.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
NT_TIB* ThreadInfo() {
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb());
}
#pragma GCC diagnostic pop

// True for the hardware faults the guard turns into a failed call.
bool IsFault(const EXCEPTION_RECORD* Record) {
    if (Record->ExceptionFlags & EXCEPTION_NONCONTINUABLE) return false;
    switch (Record->ExceptionCode) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_PRIV_INSTRUCTION:
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_INT_OVERFLOW:
        case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        case EXCEPTION_DATATYPE_MISALIGNMENT:
            return true;
        default:
            return false;
    }
}

// The vectored handler: resumes the owner thread at its innermost guard's entry
// after a fault; passes everything else on.
LONG CALLBACK ResumeAtGuard(EXCEPTION_POINTERS* Info) {
    if (static_cast<DWORD>(OwnerThread) != GetCurrentThreadId()) return EXCEPTION_CONTINUE_SEARCH;
    TGuardFrame* Frame = Innermost;
    if (!Frame || !IsFault(Info->ExceptionRecord)) return EXCEPTION_CONTINUE_SEARCH;
    Frame->Faulted = 1;
    *Info->ContextRecord = Frame->Entry;
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Records the resumption point, arms Frame as the innermost guard and makes the
// call; returns its result, or FaultResult when it faulted. Not inlined: the
// recorded registers describe this function's own frame, which stays alive until
// the guard is disarmed, and the fault path reads only what was stored in memory
// before the capture.
__attribute__((noinline)) int RunArmed(TGuardFrame& Frame, int (*Call)(void*), void* Context,
                                       int FaultResult) {
    Frame.Faulted = 0;
    Frame.Chain = ThreadInfo()->ExceptionList;
    Frame.Outer = Innermost;
    RtlCaptureContext(&Frame.Entry);
    if (Frame.Faulted) {
        ThreadInfo()->ExceptionList = Frame.Chain;
        Innermost = Frame.Outer;
        return FaultResult;
    }
    Innermost = &Frame;
    const int Result = Call(Context);
    Innermost = Frame.Outer;
    return Result;
}

}  // namespace

int CallGuarded(int (*Call)(void* Context), void* Context, int FaultResult) {
    const LONG Self = static_cast<LONG>(GetCurrentThreadId());
    const LONG Owner = InterlockedCompareExchange(&OwnerThread, Self, 0);
    if (Owner != 0 && Owner != Self) return Call(Context);
    if (Owner == Self) {
        TGuardFrame Frame;
        return RunArmed(Frame, Call, Context, FaultResult);
    }
    Handler = AddVectoredExceptionHandler(1, ResumeAtGuard);
    int Result;
    if (Handler) {
        TGuardFrame Frame;
        Result = RunArmed(Frame, Call, Context, FaultResult);
        RemoveVectoredExceptionHandler(Handler);
        Handler = nullptr;
    } else {
        Result = Call(Context);
    }
    InterlockedExchange(&OwnerThread, 0);
    return Result;
}

}  // namespace tarvik

#else

namespace tarvik {

int CallGuarded(int (*Call)(void* Context), void* Context, int /*FaultResult*/) {
    return Call(Context);
}

}  // namespace tarvik

#endif
