// Counting and fault injection of the hosts' service calls.
#include "ledger.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <numeric>

#include "host.h"

namespace host {

#ifdef _WIN32
// GCC 12 takes the fs- or gs-relative read in NtCurrentTeb for an access to a
// small address and warns.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
NT_TIB* ThreadInfoBlock() {
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb());
}
#pragma GCC diagnostic pop

namespace {

// The handler of the host's own record below: it handles nothing.
EXCEPTION_DISPOSITION NTAPI PassOn(EXCEPTION_RECORD* /*Record*/, void* /*Frame*/,
                                   CONTEXT* /*Context*/, void* /*Dispatch*/) {
    return ExceptionContinueSearch;
}

// Faults the way a broken host does: with a frame-based handler record of its own
// linked into the thread's chain (a guard around the call must unlink it again),
// it reads through a null pointer that the compiler cannot see.
void RaiseAccessViolation() {
    volatile NT_TIB* Tib = ThreadInfoBlock();
    EXCEPTION_REGISTRATION_RECORD Own;
    Own.Next = Tib->ExceptionList;
    Own.Handler = PassOn;
    Tib->ExceptionList = &Own;
    std::atomic_signal_fence(std::memory_order_seq_cst);  // the record is complete first
    static volatile int* volatile Nowhere = nullptr;
    [[maybe_unused]] const int Value = *Nowhere;
    Tib->ExceptionList = Own.Next;
}

}  // namespace
#endif

CallLedger::CallLedger(int Kinds, int EditorControlKind)
    : EditorControlKind(EditorControlKind),
      Counts(static_cast<size_t>(Kinds), 0),
      FailKinds(static_cast<size_t>(Kinds), false) {}

bool CallLedger::Enter(int Kind, int Command) {
    ++Serial;
    ++Counts[static_cast<size_t>(Kind)];
    const bool Ectl = Kind == EditorControlKind;
    if (Ectl) ++EctlCounts[Command];
#ifdef _WIN32
    if (Ectl && FaultCommands.count(Command)) RaiseAccessViolation();
#endif
    if (FailFromSerial && Serial >= FailFromSerial) return true;
    if (FailNthSerial && Serial == FailNthSerial) return true;
    if (FailKinds[static_cast<size_t>(Kind)]) return true;
    return Ectl && FailCommands.count(Command);
}

int CallLedger::Calls(int Kind) const {
    return Counts[static_cast<size_t>(Kind)];
}

int CallLedger::EctlCalls(int Command) const {
    auto It = EctlCounts.find(Command);
    return It == EctlCounts.end() ? 0 : It->second;
}

int CallLedger::Total() const {
    return std::accumulate(Counts.begin(), Counts.end(), 0);
}

void CallLedger::ResetCounts() {
    std::fill(Counts.begin(), Counts.end(), 0);
    EctlCounts.clear();
}

void CallLedger::FailFrom(int Nth) {
    FailFromSerial = Nth > 0 ? Serial + Nth : 0;
}

void CallLedger::FailNth(int Nth) {
    FailNthSerial = Nth > 0 ? Serial + Nth : 0;
}

void CallLedger::FailCommand(int Command, bool Fail) {
    if (Fail)
        FailCommands.insert(Command);
    else
        FailCommands.erase(Command);
}

void CallLedger::FailKind(int Kind, bool Fail) {
    FailKinds[static_cast<size_t>(Kind)] = Fail;
}

void CallLedger::FaultCommand(int Command, bool Fault) {
    if (Fault)
        FaultCommands.insert(Command);
    else
        FaultCommands.erase(Command);
}

void CallLedger::ClearFaults() {
    FailFromSerial = 0;
    FailNthSerial = 0;
    FailCommands.clear();
    FaultCommands.clear();
    std::fill(FailKinds.begin(), FailKinds.end(), false);
}

}  // namespace host
