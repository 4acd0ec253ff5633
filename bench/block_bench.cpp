// 4. Block copy, move and delete of a block of whole lines (Ctrl+K C, Ctrl+K V,
// Ctrl+K Y), against the host's raw cost of the same insertions and deletions.
#include "support.h"

namespace bench {

namespace {

constexpr int kBlockLines = 100000;

struct BlockText {
    int Id = 0;
    std::vector<host::Line> Saved;  // the text with the block selected
};

// A window of kBlockLines lines of about 40 bytes, all selected, then one line "end"
// with the cursor behind its "e" (right behind the block a move would go onto itself).
BlockText& Block() {
    static BlockText B;
    host::Host& H = TheHost();
    if (!B.Id) {
        B.Id = OpenWindow("block.txt", MakeText(kBlockLines, 40, 5) + "end", true);
        H.SelectStream(0, 0, 0, kBlockLines + 1);
        B.Saved = H.Win().Lines;
    }
    H.SwitchTo(B.Id);
    return B;
}

// Puts the text, the selection and the cursor back as Block() made them.
void Restore(BlockText& B) {
    host::Host& H = TheHost();
    H.Win().Lines = B.Saved;
    H.Win().ColumnBlock = false;
    H.Win().BlockStartLine = 0;
    DropLineCopies();
    H.SetCursor(kBlockLines, 1);
}

// The host's own work of a block insertion at the cursor, byte for byte: each
// line's text written into the line that holds the rest of the cursor line, a
// line break behind it, and the selection of what went in.
void RawInsert(const BlockText& B, int AtLine) {
    EditorSetPosition Esp;
    Esp.CurPos = 0;
    Esp.CurTabPos = Esp.TopScreenLine = Esp.LeftPos = Esp.Overtype = -1;
    // The cursor stands behind the first byte of the line "end".
    const std::string& End = B.Saved[kBlockLines].Text;
    const std::string Head = End.substr(0, 1), Tail = End.substr(1);
    std::string Line;
    for (int L = 0; L < kBlockLines; ++L) {
        const std::string Text = (L == 0 ? Head : std::string()) + B.Saved[L].Text;
        Line = Text + Tail;
        EditorSetString Ess{AtLine + L, Line.c_str(), "", static_cast<int>(Line.size())};
        Ectl(ECTL_SETSTRING, &Ess);
        Esp.CurLine = AtLine + L;
        Esp.CurPos = static_cast<int>(Text.size());
        Ectl(ECTL_SETPOSITION, &Esp);
        Ectl(ECTL_INSERTSTRING, nullptr);
    }
    EditorSelect Es{};
    Es.BlockType = BTYPE_STREAM;
    Es.BlockStartLine = AtLine;
    Es.BlockStartPos = 0;
    Es.BlockWidth = 0;
    Es.BlockHeight = kBlockLines + 1;
    Ectl(ECTL_SELECT, &Es);
}

// The host's own work of deleting the block's lines, one call each.
void RawDelete() {
    EditorSetPosition Esp;
    Esp.CurLine = 0;
    Esp.CurPos = 0;
    Esp.CurTabPos = Esp.TopScreenLine = Esp.LeftPos = Esp.Overtype = -1;
    for (int L = 0; L < kBlockLines; ++L) {
        Ectl(ECTL_SETPOSITION, &Esp);
        Ectl(ECTL_DELETESTRING, nullptr);
    }
}

// Ctrl+K and a second key, as the host hands them over.
void TwoKeys(const char* Second) {
    TheHost().Feed(host::KeyPress("^K"));
    TheHost().Feed(host::KeyPress(Second));
}

// Runs Body once per iteration on a fresh copy of the text; Expect checks the result.
template <typename BodyT>
void Run(benchmark::State& State, BodyT Body, size_t ExpectLines) {
    host::Host& H = TheHost();
    BlockText& B = Block();
    Restore(B);
    H.ResetCounters();
    bool Wrong = false;
    for (auto _ : State) {
        Body(B);
        State.PauseTiming();
        Wrong |= H.Win().Lines.size() != ExpectLines;
        Restore(B);
        State.ResumeTiming();
    }
    if (Wrong) State.SkipWithError("the text did not come out as expected");
    State.counters["calls_per_line"] =
        H.TotalCalls() / static_cast<double>(State.iterations()) / kBlockLines;
}

void BlockRawInsert(benchmark::State& State) {
    Run(
        State, [](BlockText& B) { RawInsert(B, kBlockLines); }, 2 * kBlockLines + 1);
}
void BlockCopy(benchmark::State& State) {
    Run(
        State, [](BlockText&) { TwoKeys("c"); }, 2 * kBlockLines + 1);
}
void BlockRawDelete(benchmark::State& State) {
    Run(
        State, [](BlockText&) { RawDelete(); }, 1);
}
void BlockDelete(benchmark::State& State) {
    Run(
        State, [](BlockText&) { TwoKeys("y"); }, 1);
}
// The host's own work of a move as the plug-in asks for it: the copy goes in at the
// cursor first, then the block's lines go (from a text twice as long by then).
void BlockRawMove(benchmark::State& State) {
    Run(
        State,
        [](BlockText& B) {
            RawInsert(B, kBlockLines);
            RawDelete();
        },
        kBlockLines + 1);
}
void BlockMove(benchmark::State& State) {
    Run(
        State, [](BlockText&) { TwoKeys("v"); }, kBlockLines + 1);
}

BENCHMARK(BlockRawInsert)->Name("Block/RawInsert")->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BlockCopy)->Name("Block/Copy")->Unit(benchmark::kMillisecond)->MinTime(1);
// The host's deletion of a line moves every line after it, so these take seconds
// each: one iteration.
BENCHMARK(BlockRawDelete)->Name("Block/RawDelete")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BlockDelete)->Name("Block/Delete")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BlockRawMove)->Name("Block/RawMove")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BlockMove)->Name("Block/Move")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

}  // namespace bench
