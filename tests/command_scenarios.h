// Scenario runner for the editing commands: a marked starting text, keys typed
// through the stand-in host, and the marked text expected afterwards (text,
// cursor and selection; see fixture.h for the markup).
//
// Each scenario plays on the 1.70 host with the Tarvik module, then again on the
// generation-3 host with the Tarvik3 module (host3/ beside the tests) under the same
// editor options; test bytes become UTF-16 units of the same value, so columns stay.
// Where the generation-3 host's result differs the scenario says so: After3 with the
// reason in Why3. While Tarvik3 is not built the second leg is skipped (said once).
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "fixture.h"

namespace scenarios {

struct Scenario {
    std::string Name;
    std::string Before;  // markup
    std::string Keys;    // host::ParseKeys tokens
    std::string After;   // markup
    // The generation-3 host's result where it differs from After (empty: the same).
    std::string After3 = {};
    std::string Why3 = {};  // why it differs
};

// Called with every scenario after it ran, when set (the fault sweep collects
// them to run each again under host failures).
inline void (*Observer)(const Scenario&) = nullptr;

}  // namespace scenarios

class CommandTest : public PluginTest {
protected:
    std::unique_ptr<host3::Host> Host3;

    void TearDown() override {
        Host3.reset();
        PluginTest::TearDown();
    }

    // Opens a window on the starting text, types the keys and compares; the
    // window is closed again so that the next scenario starts afresh.
    void Run(const scenarios::Scenario& S) {
        {
            SCOPED_TRACE(S.Name);
            const int Id = OpenMarked(S.Before);
            Keys(S.Keys);
            ExpectMarked(S.After);
            H().CloseWindow(Id);
        }
        if (scenarios::Observer) scenarios::Observer(S);
        if (StartHost3()) RunOnHost3(S);
    }
    template <size_t N>
    void RunAll(const scenarios::Scenario (&List)[N]) {
        for (const scenarios::Scenario& S : List) Run(S);
    }

private:
    // The generation-3 host with Tarvik3 started, created at the test's first scenario;
    // false while the module is not built.
    bool StartHost3() {
        if (Host3) return true;
        const std::string Path = host3::Host::DefaultPluginPath();
        static bool Said = false;
        if (!std::filesystem::exists(Path)) {
            if (!Said)
                std::printf("generation-3 host: %s not built, its leg skipped\n", Path.c_str());
            Said = true;
            return false;
        }
        Host3 = std::make_unique<host3::Host>();
        Host3->DiscardInput();
        if (!Host3->LoadPlugin(Path)) {
            ADD_FAILURE() << "generation-3 host: " << Host3->LoadError;
            Host3.reset();
            return false;
        }
        Host3->StartPlugin();
        return true;
    }

    void RunOnHost3(const scenarios::Scenario& S) {
        SCOPED_TRACE(S.Name + " (generation-3 host" + (S.Why3.empty() ? "" : ": " + S.Why3) + ")");
        host3::Host& H3 = *Host3;
        H3.PersistentBlocks = H().PersistentBlocks;
        H3.SetExpandTabs(H().ExpandTabs());
        const fixture::MarkedText M = fixture::ParseMarked(S.Before);
        const int Id = fixture::OpenMarked3(H3, host3::Widen(M.Text), M);
        H3.Keys(S.Keys);
        const std::string& Expected = S.After3.empty() ? S.After : S.After3;
        const std::string Actual = fixture::Marked(H3);
        if (Actual != Expected)
            ADD_FAILURE() << "marked text differs\n" << fixture::SideBySide(Actual, Expected);
        fixture::ExpectSoundHost3(H3);
        H3.CloseWindow(Id);
    }
};
