// A guard that turns a hardware fault inside one host call into a failed call.
#pragma once

namespace tarvik {

// Runs Call(Context) and returns its result. When the call raises a hardware fault
// on this thread (an access violation, a bad instruction, an integer division by
// zero and the like), the call is abandoned where it stands and FaultResult is
// returned instead. Natively, and on Windows before XP (no vectored exception
// handlers), no such fault can be resumed: the call is made plainly there.
int CallGuarded(int (*Call)(void* Context), void* Context, int FaultResult);

}  // namespace tarvik
