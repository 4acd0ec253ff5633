// Counting of the service calls a plug-in makes and the failures a test injects into
// them, shared by both stand-in hosts. A kind is the host's own number of a service;
// one of them is EditorControl, whose calls are also counted per command.
#pragma once

#include <map>
#include <set>
#include <vector>

namespace host {

class CallLedger {
public:
    CallLedger(int Kinds, int EditorControlKind);

    // Counts one call of Kind (Command: the EditorControl command); true when it is to
    // fail. On Windows a command set to fault raises an access violation here.
    bool Enter(int Kind, int Command = -1);

    int Calls(int Kind) const;
    int EctlCalls(int Command) const;
    int Total() const;
    void ResetCounts();

    // Every call from the Nth on (1 = the next call) fails.
    void FailFrom(int Nth);
    // Only the Nth call (1 = the next call) fails.
    void FailNth(int Nth);
    void FailCommand(int Command, bool Fail);
    void FailKind(int Kind, bool Fail);
    // Windows only: the command raises an access violation inside the host.
    void FaultCommand(int Command, bool Fault);
    void ClearFaults();

private:
    int EditorControlKind;
    long Serial = 0;  // calls so far, never reset
    std::vector<int> Counts;
    std::map<int, int> EctlCounts;
    long FailFromSerial = 0;  // 0: off
    long FailNthSerial = 0;   // 0: off
    std::set<int> FailCommands;
    std::set<int> FaultCommands;
    std::vector<bool> FailKinds;
};

}  // namespace host
