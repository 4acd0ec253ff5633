// Test support: a GoogleTest fixture that runs the plug-in inside the stand-in
// host, and a small markup for texts with a cursor and a stream selection.
//
// Markup (OpenMarked, ExpectMarked, Marked):
//   '|'        the cursor (at most one; without it the cursor is at 0:0)
//   "«" "»"    begin and end of a stream selection (UTF-8 in the test source;
//              the plug-in's text never holds these two-byte sequences)
//   "¶»"       at a line's end: the selection runs through the line end
//              (SelEnd -1) and stops there
// A line selected through its end whose next line is selected from column 0
// needs no mark: "a«bc\nde»f" selects (1, -1) on line 0 and (0, 2) on line 1.
// Marked() pads with '·' when the cursor or a selection column lies past the
// line's end; such a text cannot be read back by OpenMarked.
// The markup is bytes, one column a byte; as a std::u16string (ParseMarked of one,
// Marked<std::u16string>) it is UTF-16, one column a unit, with the same marks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <source_location>
#include <string>
#include <utility>
#include <vector>

#include "host.h"
#include "host3.h"
#include "ground/globals.h"

#ifndef _WIN32
#include "compat_control.h"
#endif

namespace fixture {

inline const std::string kCursorMark = "|";
inline const std::string kSelBegin = "\xC2\xAB";    // «
inline const std::string kSelEnd = "\xC2\xBB";      // »
inline const std::string kThroughEnd = "\xC2\xB6";  // ¶
inline const std::string kPad = "\xC2\xB7";         // ·

#ifdef _WIN32
}  // namespace fixture
namespace host {
void ResetWin32Console();  // host_win32.cpp: 80 x 25 blank screen, no input waiting
}  // namespace host
namespace fixture {
#endif

// Empties the stand-in console and registry (natively; Wine keeps its own
// registry, and its console is put back to 80 x 25 blanks).
inline void ResetStandIn() {
#ifndef _WIN32
    compat::ResetConsole();
    compat::ResetRegistry();
#else
    host::ResetWin32Console();
#endif
}

// The marks of the markup in bytes (UTF-8) or in UTF-16 units (Unicode scenarios,
// whose columns count units).
template <class Str>
struct MarkSet {
    Str Cursor, Begin, End, Through, Pad;
};
inline MarkSet<std::string> MarksOf(const std::string*) {
    return {kCursorMark, kSelBegin, kSelEnd, kThroughEnd, kPad};
}
inline MarkSet<std::u16string> MarksOf(const std::u16string*) {
    return {u"|", u"\u00AB", u"\u00BB", u"\u00B6", u"\u00B7"};
}

// A marked text, as parsed: the plain text with line ends, cursor and selection.
template <class Str>
struct BasicMarkedText {
    Str Text;
    int CursorLine = 0;
    int CursorPos = 0;
    // Per-line selection, as the host stores it; empty when nothing is selected.
    struct Sel {
        int Line;
        int Start;
        int End;
    };
    std::vector<Sel> Selection;
};
using MarkedText = BasicMarkedText<std::string>;

// Reads the markup described at the top of this file.
template <class Str>
BasicMarkedText<Str> ParseMarked(const Str& Markup) {
    const MarkSet<Str> K = MarksOf(static_cast<const Str*>(nullptr));
    BasicMarkedText<Str> M;
    int Line = 0, Col = 0;
    bool InSel = false;
    int SelStartCol = -1;
    auto Starts = [&](size_t I, const Str& S) { return Markup.compare(I, S.size(), S) == 0; };
    for (size_t I = 0; I < Markup.size();) {
        if (Starts(I, K.Cursor)) {
            M.CursorLine = Line;
            M.CursorPos = Col;
            I += K.Cursor.size();
        } else if (Starts(I, K.Begin)) {
            InSel = true;
            SelStartCol = Col;
            I += K.Begin.size();
        } else if (Starts(I, K.Through + K.End)) {
            if (InSel) M.Selection.push_back({Line, SelStartCol, -1});
            InSel = false;
            I += K.Through.size() + K.End.size();
        } else if (Starts(I, K.End)) {
            if (InSel) M.Selection.push_back({Line, SelStartCol, Col});
            InSel = false;
            I += K.End.size();
        } else if (Markup[I] == '\n' ||
                   (Markup[I] == '\r' && I + 1 < Markup.size() && Markup[I + 1] == '\n')) {
            size_t N = Markup[I] == '\n' ? 1 : 2;
            if (InSel) {
                M.Selection.push_back({Line, SelStartCol, -1});
                SelStartCol = 0;
            }
            M.Text.append(Markup, I, N);
            I += N;
            ++Line;
            Col = 0;
        } else {
            M.Text += Markup[I];
            ++I;
            ++Col;
        }
    }
    if (InSel) M.Selection.push_back({Line, SelStartCol, Col});
    return M;
}
inline MarkedText ParseMarked(const char* Markup) {
    return ParseMarked(std::string(Markup));
}

// A unit of a line in the markup: as itself where the markup has the line's units; in
// byte markup a UTF-16 unit as the byte of the same value where it fits (test texts
// are bytes widened to units).
template <class Str, class Unit>
void AppendUnit(Str& Out, Unit U) {
    if constexpr (sizeof(typename Str::value_type) == sizeof(Unit))
        Out += static_cast<typename Str::value_type>(U);
    else
        Out += host3::Narrow(std::u16string(1, U));
}

// The current window of H (either host) as markup (see the top of this file); Str is
// std::u16string for the markup of a generation-3 window in units. Line ends are
// written as "\n" whatever they are.
template <class Str = std::string, class HostT>
Str Marked(HostT& H) {
    const MarkSet<Str> K = MarksOf(static_cast<const Str*>(nullptr));
    const auto& W = H.Win();
    Str Out;
    for (size_t L = 0; L < W.Lines.size(); ++L) {
        const auto& Ln = W.Lines[L];
        const bool Continued = L > 0 && W.Lines[L - 1].SelStart != -1 &&
                               W.Lines[L - 1].SelEnd == -1 && Ln.SelStart == 0;
        const bool NextContinues = L + 1 < W.Lines.size() && W.Lines[L + 1].SelStart == 0;
        const int Len = static_cast<int>(Ln.Text.size());
        int Last = Len;
        if (Ln.SelStart != -1) Last = std::max(Last, std::max(Ln.SelStart, Ln.SelEnd));
        if (static_cast<int>(L) == W.CurLine) Last = std::max(Last, W.CurPos);
        for (int C = 0; C <= Last; ++C) {
            if (Ln.SelStart != -1 && C == Ln.SelStart && !Continued) Out += K.Begin;
            if (Ln.SelStart != -1 && Ln.SelEnd != -1 && C == Ln.SelEnd) Out += K.End;
            if (static_cast<int>(L) == W.CurLine && C == W.CurPos) Out += K.Cursor;
            if (C < Len)
                AppendUnit(Out, Ln.Text[C]);
            else if (C < Last)
                Out += K.Pad;
        }
        // A cursor at the line's end comes before the through-end mark.
        if (Ln.SelStart != -1 && Ln.SelEnd == -1 && !NextContinues) Out += K.Through + K.End;
        // A line in the middle always ends, even where the host keeps no line end for
        // it (a split in a text that has none, which it adds when it saves).
        if (!Ln.Eol.empty() || L + 1 < W.Lines.size()) Out += '\n';
    }
    return Out;
}

// Sets cursor and selection of H's current window from a parsed markup; the block
// starts on the first selected line, as ECTL_SELECT would leave it.
template <class HostT, class Str>
void SetMarks(HostT& H, const BasicMarkedText<Str>& M) {
    H.ClearSelection();
    auto& W = H.Win();
    for (const auto& S : M.Selection) {
        if (S.Line < static_cast<int>(W.Lines.size())) {
            W.Lines[S.Line].SelStart = S.Start;
            W.Lines[S.Line].SelEnd = S.End;
            if (W.BlockStartLine == -1) W.BlockStartLine = S.Line;
        }
    }
    H.SetCursor(M.CursorLine, M.CursorPos);
}

// Opens a window of the generation-3 host on Text, switches Tarvik3's keys on where the
// text kind left them off or undecided, and sets the marks of M. Returns the EditorID.
template <class Str>
int OpenMarked3(host3::Host& H3, const std::u16string& Text, const BasicMarkedText<Str>& M) {
    const int Id = H3.OpenWindow(u"test.txt", Text);
    const std::vector<std::u16string> Items = H3.MenuItems();
    if (Items.size() == 1 && Items[0] == H3.Msg(tarvik::MTurnOn)) H3.PickMenu();
    SetMarks(H3, M);
    return Id;
}

// After a scenario on the generation-3 host: no read of the plug-in waited for input
// it never got, and no call broke the interface. Both are counted afresh afterwards.
inline void ExpectSoundHost3(host3::Host& H3) {
    EXPECT_EQ(H3.StarvedReads, 0) << "the plug-in waited for input it never got";
    H3.StarvedReads = 0;
    for (const std::string& M : H3.Misuses) ADD_FAILURE() << "generation-3 host: " << M;
    H3.Misuses.clear();
}

// Bytes made readable: printable ASCII as is, \t \r \n escaped, others as \xNN.
inline std::string Visible(const std::string& S) {
    std::string Out;
    for (unsigned char C : S) {
        if (C == '\t') {
            Out += "\\t";
        } else if (C == '\r') {
            Out += "\\r";
        } else if (C == '\n') {
            Out += "\\n";
        } else if (C == '\\') {
            Out += "\\\\";
        } else if (C >= 32 && C < 127) {
            Out += static_cast<char>(C);
        } else {
            char Buf[8];
            std::snprintf(Buf, sizeof Buf, "\\x%02X", C);
            Out += Buf;
        }
    }
    return Out;
}

// Both texts line by line side by side, with a '!' on the lines that differ.
inline std::string SideBySide(const std::string& Actual, const std::string& Expected) {
    auto Split = [](const std::string& T) {
        std::vector<std::string> Lines;
        size_t B = 0;
        for (size_t I = 0; I < T.size(); ++I)
            if (T[I] == '\n') {
                Lines.push_back(T.substr(B, I - B + 1));
                B = I + 1;
            }
        if (B < T.size() || Lines.empty()) Lines.push_back(T.substr(B));
        return Lines;
    };
    auto A = Split(Actual), E = Split(Expected);
    // Line ends stay visible, so a lost or changed end shows.
    auto Show = [](const std::string& L) { return Visible(L); };
    size_t Width = 6;
    for (auto& L : A) Width = std::max(Width, Show(L).size());
    std::string Out = "   actual" + std::string(Width > 6 ? Width - 6 : 0, ' ') + "| expected\n";
    for (size_t I = 0; I < std::max(A.size(), E.size()); ++I) {
        std::string L = I < A.size() ? Show(A[I]) : "<none>";
        std::string R = I < E.size() ? Show(E[I]) : "<none>";
        bool Same = I < A.size() && I < E.size() && A[I] == E[I];
        Out += (Same ? "   " : " ! ") + L + std::string(Width - std::min(Width, L.size()), ' ') +
               " | " + R + "\n";
    }
    return Out;
}

}  // namespace fixture

// Runs the plug-in in a fresh stand-in host for every test: the console and the
// registry are emptied, the host is created, the plug-in is loaded and started.
class PluginTest : public ::testing::Test {
protected:
    // A derived fixture sets this false in its constructor to start the plug-in
    // itself (Restart), e.g. after writing registry values.
    bool AutoStart = true;
    std::unique_ptr<host::Host> Host;

    void SetUp() override {
        if (AutoStart) Restart();
    }
    void TearDown() override { Host.reset(); }

    // A new host (new registry root), the plug-in loaded; Before runs with the
    // module loaded but not yet started (write settings with Host->SettingsKey()).
    void Restart(const std::function<void(host::Host&)>& Before = {}, int StructSize = 0) {
        Host.reset();
        fixture::ResetStandIn();
        Host = std::make_unique<host::Host>();
        Host->DiscardInput();  // a real console may hold keys of an earlier test
        ASSERT_TRUE(Host->LoadPlugin()) << "cannot load " << host::Host::DefaultPluginPath();
        if (Before) Before(*Host);
        Host->StartPlugin(StructSize);
    }

    // Unloads and loads the plug-in again in the same host (same registry root);
    // the new instance starts with fresh globals. Windows stay open without records;
    // close them first, as the plug-in does not free records still listed at unload.
    void ReloadPlugin() {
        Host->UnloadPlugin();
        ASSERT_TRUE(Host->LoadPlugin());
        Host->StartPlugin();
    }

    host::Host& H() { return *Host; }

    // Opens a window on Text and switches its bindings on when the text kind left
    // them off or undecided. Returns the EditorID.
    int OpenOn(const std::string& Text, const std::string& FileName = "test.txt") {
        int Id = Host->OpenWindow(FileName, Text);
        EnsureOn();
        return Id;
    }
    // Opens a window without touching its bindings.
    int OpenPlain(const std::string& Text, const std::string& FileName = "test.txt") {
        return Host->OpenWindow(FileName, Text);
    }
    // Opens a window on a marked text (cursor and selection), bindings on.
    int OpenMarked(const std::string& Markup, const std::string& FileName = "test.txt") {
        fixture::MarkedText M = fixture::ParseMarked(Markup);
        int Id = Host->OpenWindow(FileName, M.Text);
        EnsureOn();
        SetMarks(M);
        return Id;
    }
    // Sets cursor and selection of the current window from a parsed markup.
    void SetMarks(const fixture::MarkedText& M) { fixture::SetMarks(*Host, M); }
    // Picks the menu entry when it offers to turn the bindings on.
    void EnsureOn() {
        std::vector<std::string> Items = Host->MenuItems();
        if (Items.size() == 1 && Items[0] == Host->Msg(tarvik::MTurnOn)) Host->PickMenu();
    }
    // True when the menu offers to turn the bindings off (they are on).
    bool BindingsOn() {
        std::vector<std::string> Items = Host->MenuItems();
        return Items.size() == 1 && Items[0] == Host->Msg(tarvik::MTurnOff);
    }

    void Keys(const std::string& K) { Host->Keys(K); }
    void Type(const std::string& T) { Host->Type(T); }

    // The cursor of the current window as (line, pos).
    std::pair<int, int> Cursor() { return {Host->Win().CurLine, Host->Win().CurPos}; }

    // Compares the current window's text (with line ends) and prints both side by side.
    void ExpectText(const std::string& Expected,
                    std::source_location Loc = std::source_location::current()) {
        std::string Actual = Host->Text();
        if (Actual != Expected)
            ADD_FAILURE_AT(Loc.file_name(), static_cast<int>(Loc.line()))
                << "text differs\n"
                << fixture::SideBySide(Actual, Expected);
    }
    // Compares text, cursor and selection in markup form (line ends as "\n").
    void ExpectMarked(const std::string& Expected,
                      std::source_location Loc = std::source_location::current()) {
        std::string Actual = fixture::Marked(*Host);
        if (Actual != Expected)
            ADD_FAILURE_AT(Loc.file_name(), static_cast<int>(Loc.line()))
                << "marked text differs\n"
                << fixture::SideBySide(Actual, Expected);
    }
};
