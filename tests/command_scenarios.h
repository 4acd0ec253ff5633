// Scenario runner for the editing commands: a marked starting text, keys typed
// through the stand-in host, and the marked text expected afterwards (text,
// cursor and selection; see fixture.h for the markup).
#pragma once

#include <string>

#include "fixture.h"

namespace scenarios {

struct Scenario {
    std::string Name;
    std::string Before;  // markup
    std::string Keys;    // host::ParseKeys tokens
    std::string After;   // markup
};

// Called with every scenario after it ran, when set (the fault sweep collects
// them to run each again under host failures).
inline void (*Observer)(const Scenario&) = nullptr;

}  // namespace scenarios

class CommandTest : public PluginTest {
protected:
    // Opens a window on the starting text, types the keys and compares; the
    // window is closed again so that the next scenario starts afresh.
    void Run(const scenarios::Scenario& S) {
        SCOPED_TRACE(S.Name);
        const int Id = OpenMarked(S.Before);
        Keys(S.Keys);
        ExpectMarked(S.After);
        H().CloseWindow(Id);
        if (scenarios::Observer) scenarios::Observer(S);
    }
    template <size_t N>
    void RunAll(const scenarios::Scenario (&List)[N]) {
        for (const scenarios::Scenario& S : List) Run(S);
    }
};
