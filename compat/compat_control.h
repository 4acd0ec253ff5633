// Control of the Linux stand-in for the Windows calls, for the stand-in host and
// the native tests: reset state, inject faults, look into the registry.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace compat {

// Console calls whose failure can be injected.
enum class ConsoleCall {
    PeekInput,
    ReadInput,
    WriteInput,
    NumberOfEvents,
    ScreenBufferInfo,
    ReadAttribute,
    FlushInput,
    ReadCharacter,
    WriteCharacter,
    WriteAttribute,
    SetBufferSize,
    Count
};

// Empties the console input, resets the screen buffer to 80 x 25 blanks in
// attribute 0x07 and clears every console fault.
void ResetConsole();
// Makes a console call fail (FALSE, nothing done) until cleared.
void FailConsoleCall(ConsoleCall Which, bool Fail);
// Number of calls of one kind since the last ResetConsole.
int ConsoleCallCount(ConsoleCall Which);
// For the stand-in host's own reading, so that it neither adds to the counts nor
// meets the injected faults meant for the plug-in: events waiting, and taking the
// next one as the wide calls read it (false when none waits).
int PendingConsoleInput();
bool TakeConsoleInput(INPUT_RECORD& Event);

// Removes every registry key and value.
void ResetRegistry();
// Every value of the key at Path (below HKEY_CURRENT_USER), as name / type / bytes.
struct RegistryValue {
    std::string Name;
    DWORD Type;
    std::vector<BYTE> Data;
};
bool ReadRegistryKey(const std::string& Path, std::vector<RegistryValue>& Values);
bool RegistryKeyExists(const std::string& Path);
// Registry keys still open (opened or created but not closed).
int OpenRegistryKeys();

// From the Nth heap allocation on (1 = the next one), HeapAlloc and HeapReAlloc
// return null; Count limits how many fail (0 = all following). Nth 0 disables.
void FailHeapAllocation(long Nth, long Count = 1);
// Heap allocations (HeapAlloc and HeapReAlloc) made since the process started.
long HeapAllocationCount();
// Blocks allocated through HeapAlloc and not yet freed.
long LiveHeapBlocks();
// Bytes requested by those blocks (their sizes as last allocated or reallocated).
long long LiveHeapBytes();

}  // namespace compat
