// 5. Recording and replaying 100,000 keys: time against typing the same keys, and
// the recording's cost and memory against appending to a plain vector.
#include "compat_control.h"
#include "support.h"

namespace bench {

namespace {

constexpr int kKeys = 100000;

// Presses of typed text: 52 letters, then Down and Home, over and over, so that the
// lines stay short and the host's own work per key stays small.
const std::vector<INPUT_RECORD>& Presses() {
    static std::vector<INPUT_RECORD> P;
    if (P.empty()) {
        const INPUT_RECORD Down = host::KeyPress("Down"), Home = host::KeyPress("Home");
        for (int I = 0; static_cast<int>(P.size()) < kKeys; ++I) {
            const int K = I % 54;
            P.push_back(K < 52    ? host::CharPress(static_cast<unsigned char>(
                                     "abcdefghijklmnopqrstuvwxyz"[K % 26]))
                        : K == 52 ? Down
                                  : Home);
        }
    }
    return P;
}

struct TypingText {
    int Id = 0;
    std::vector<host::Line> Saved;
};

TypingText& Window() {
    static TypingText T;
    host::Host& H = TheHost();
    if (!T.Id) {
        T.Id = OpenWindow("typing.txt", MakeText(2000, 60, 9), true);
        T.Saved = H.Win().Lines;
    }
    H.SwitchTo(T.Id);
    return T;
}

void Restore(TypingText& T) {
    host::Host& H = TheHost();
    H.Win().Lines = T.Saved;
    DropLineCopies();
    H.ClearSelection();
    H.SetCursor(0, 0);
    H.HostKeys.clear();
    H.DiscardInput();
}

// Each key pressed and released, as the host hands them over.
void TypeAll() {
    host::Host& H = TheHost();
    for (const INPUT_RECORD& P : Presses()) {
        INPUT_RECORD R = P;
        H.Feed(R);
        R.Event.KeyEvent.bKeyDown = FALSE;
        H.Feed(R);
    }
}

void RecorderTyping(benchmark::State& State) {
    TypingText& T = Window();
    for (auto _ : State) {
        State.PauseTiming();
        Restore(T);
        State.ResumeTiming();
        TypeAll();
    }
    Restore(T);
}

void ToggleRecording() {
    TheHost().Feed(host::KeyPress("Ctrl+Shift+R"));
}

void RecorderRecording(benchmark::State& State) {
    TypingText& T = Window();
    long long Bytes = 0;
    for (auto _ : State) {
        State.PauseTiming();
        Restore(T);
        ToggleRecording();  // the prompt ends at once: nothing waits in the input
        const long long Before = compat::LiveHeapBytes();
        State.ResumeTiming();
        TypeAll();
        State.PauseTiming();
        Bytes = compat::LiveHeapBytes() - Before;
        ToggleRecording();
        State.ResumeTiming();
    }
    Restore(T);
    State.counters["heap_bytes"] = static_cast<double>(Bytes);
    State.counters["bytes_per_key"] = static_cast<double>(Bytes) / kKeys;
}

void RecorderVector(benchmark::State& State) {
    size_t Capacity = 0;
    for (auto _ : State) {
        std::vector<INPUT_RECORD> V;
        for (const INPUT_RECORD& P : Presses()) V.push_back(P);
        benchmark::DoNotOptimize(V.data());
        Capacity = V.capacity();
    }
    State.counters["heap_bytes"] = static_cast<double>(Capacity * sizeof(INPUT_RECORD));
}

void RecorderReplay(benchmark::State& State) {
    host::Host& H = TheHost();
    TypingText& T = Window();
    Restore(T);
    ToggleRecording();
    TypeAll();
    ToggleRecording();
    const std::vector<host::Line> Typed = H.Win().Lines;
    bool Same = true;
    for (auto _ : State) {
        State.PauseTiming();
        Restore(T);
        State.ResumeTiming();
        H.Feed(host::KeyPress("Ctrl+Shift+P"));
        H.Pump();
        State.PauseTiming();
        Same &= H.Win().Lines.size() == Typed.size() && H.Win().Lines[0].Text == Typed[0].Text &&
                H.Win().Lines[kKeys / 54].Text == Typed[kKeys / 54].Text;
        State.ResumeTiming();
    }
    if (!Same) State.SkipWithError("the replay did not type what was recorded");
    Restore(T);
}

// The host reading and handling the same presses from the console input.
void RecorderTyped(benchmark::State& State) {
    host::Host& H = TheHost();
    TypingText& T = Window();
    for (auto _ : State) {
        State.PauseTiming();
        Restore(T);
        State.ResumeTiming();
        H.WriteInput(Presses());
        H.Pump();
    }
    Restore(T);
}

BENCHMARK(RecorderVector)->Name("Recorder/Vector")->Unit(benchmark::kMillisecond);
BENCHMARK(RecorderTyping)->Name("Recorder/Typing")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RecorderRecording)
    ->Name("Recorder/Recording")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(RecorderTyped)->Name("Recorder/Typed")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RecorderReplay)->Name("Recorder/Replay")->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

}  // namespace bench
