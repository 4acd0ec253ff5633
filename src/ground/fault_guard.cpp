// The fault guard. The plug-in asks the host which editor is current at any
// moment, also while no editor is, and a host that faults on that question must
// not be brought down by it: the fault only means "no current editor". A C++
// catch does not see a Windows fault (and the plug-in is built without C++
// exceptions), so the guard works with the system's own exception dispatch:
//
// - On entry __builtin_setjmp records where the guard resumes. It saves only the
//   frame and stack pointers and the resumption address; the function holding
//   it saves every callee-saved register in its prologue instead (on x86_64 also
//   xmm6 to xmm15) and reloads all it needs from its frame after the second
//   return, so nothing the abandoned call did to the registers survives it.
// - While the call runs, a vectored exception handler of ours is registered. It
//   acts only on the thread that armed the guard and only for continuable
//   hardware fault codes (not for C++ exceptions, breakpoints or any other
//   software exception). It changes the faulting thread's context so that the
//   thread continues in ContinueAtGuard, on a small landing area of the guard's
//   own frame (the faulting stack pointer may be anything), which returns into
//   the guard by __builtin_longjmp: no unwinding, the faulting call's frames
//   below are simply abandoned. The handler's part is the only code per
//   architecture: the names of the instruction and stack pointer fields.
// - The TEB's ExceptionList is put back to its value at entry. On i686 it is the
//   chain of frame-based handlers: records the host registered inside the call
//   live in the abandoned frames and must not stay linked. On x86_64 Windows
//   leaves the field alone (Wine keeps frames of its own there); writing its own
//   value back is right there too.
// - The handler is removed again when the outermost guard returns, so none of
//   ours outlives the call, let alone the DLL.
// - Vectored handlers came with Windows XP, and the host runs on older systems
//   too: the two calls are looked up at run time, by the first thread to hold the
//   guard (one at a time, see below). Where they are missing the call is made
//   plainly, and a fault in it goes to the host's own handlers as if there were
//   no guard.
//
// Limits, by design: a vectored handler runs before the frame-based ones, so a
// fault that the host would have handled itself inside the call counts as a
// failed call too; the abandoned call's own clean-up (its __finally blocks, its
// destructors, locks it holds) does not run, and the floating-point control
// words stay as it left them. A stack overflow is left alone: after one the
// stack has lost its guard page, and resuming would leave the thread without it.
// Guards nest on one thread (the host may call the plug-in back inside the
// guarded call); while one thread holds the guard, another calls plainly.
#include "ground/fault_guard.h"

#if defined(_WIN32)

#include <windows.h>

#include <cstdint>

#include "ground/system_calls.h"

namespace tarvik {

namespace {

// One armed guard, in the frame of CallGuarded.
struct TGuardFrame {
    void* Resume[5];                               // __builtin_setjmp's record
    struct _EXCEPTION_REGISTRATION_RECORD* Chain;  // the TEB's ExceptionList at entry
    TGuardFrame* Outer;                            // the guard this one nests in, or null
    alignas(16) unsigned char Landing[512];        // ContinueAtGuard's stack
};

volatile LONG OwnerThread = 0;              // the thread holding the guard; 0 when none
TGuardFrame* volatile Innermost = nullptr;  // the owner's innermost armed guard
PVOID Handler = nullptr;                    // the registered handler while a guard is held

// The system's calls for vectored handlers (Windows XP on), null where it lacks them;
// looked up by the first holder of the guard.
using TAddHandler = PVOID(WINAPI*)(ULONG, PVECTORED_EXCEPTION_HANDLER);
using TRemoveHandler = ULONG(WINAPI*)(PVOID);
bool LookedUp = false;
TAddHandler AddHandler = nullptr;
TRemoveHandler RemoveHandler = nullptr;

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

// Where the handler sends the faulting thread: the second return of the innermost
// guard's __builtin_setjmp.
__attribute__((noinline, noreturn)) void ContinueAtGuard() {
    __builtin_longjmp(Innermost->Resume, 1);
}

// The vectored handler: sends the owner thread to ContinueAtGuard after a fault;
// passes everything else on.
LONG CALLBACK ResumeAtGuard(EXCEPTION_POINTERS* Info) {
    if (static_cast<DWORD>(OwnerThread) != GetCurrentThreadId()) return EXCEPTION_CONTINUE_SEARCH;
    TGuardFrame* Frame = Innermost;
    if (!Frame || !IsFault(Info->ExceptionRecord)) return EXCEPTION_CONTINUE_SEARCH;
    // As if called: the top of the landing area less a return address and the four
    // argument slots of x86_64, which leaves the stack aligned as each expects. The
    // rest lies below, room for what the system's restore of the context puts there.
    const auto Top =
        reinterpret_cast<uintptr_t>(Frame->Landing + sizeof Frame->Landing) - 5 * sizeof(void*);
    const auto Target = reinterpret_cast<uintptr_t>(&ContinueAtGuard);
    CONTEXT* Context = Info->ContextRecord;
#if defined(__x86_64__)
    Context->Rip = Target;
    Context->Rsp = Top;
#elif defined(__i386__)
    Context->Eip = Target;
    Context->Esp = Top;
#else
#error "the fault guard knows the x86 processors only"
#endif
    Context->EFlags &= ~0x400u;  // the direction flag, clear at every call
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Records the resumption point, arms Frame as the innermost guard and makes the
// call; returns its result, or FaultResult when it faulted. Not inlined, so that
// its prologue and epilogue save and restore the registers around the resumption.
__attribute__((noinline)) int RunArmed(TGuardFrame& Frame, int (*Call)(void*), void* Context,
                                       int FaultResult) {
    Frame.Chain = ThreadInfo()->ExceptionList;
    Frame.Outer = Innermost;
    if (__builtin_setjmp(Frame.Resume)) {
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
    // Only the holder gets here, so the look-up runs on one thread at a time, and the
    // interlocked release below publishes its result to the next holder.
    if (!LookedUp) {
        AddHandler = Kernel32Function<TAddHandler>("AddVectoredExceptionHandler");
        RemoveHandler = Kernel32Function<TRemoveHandler>("RemoveVectoredExceptionHandler");
        LookedUp = true;
    }
    Handler = AddHandler && RemoveHandler ? AddHandler(1, ResumeAtGuard) : nullptr;
    int Result;
    if (Handler) {
        TGuardFrame Frame;
        Result = RunArmed(Frame, Call, Context, FaultResult);
        RemoveHandler(Handler);
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
