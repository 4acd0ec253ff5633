// The generation-3 stand-in host where the current host differs from the 1.70 one
// (host_model_test.cpp holds the rules both share), driven through its services as a
// plug-in calls them with no plug-in loaded, and its load sequence with the probe
// plug-in (probe3/).
#include <cstring>
#include <filesystem>
#include <fstream>

#include "fixture.h"
#include "probe3/probe3.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace {

using host3::Widen;
using P = std::pair<intptr_t, intptr_t>;

const api3::Guid kPlugin = {0x12345678, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}};

class Host3ModelTest : public ::testing::Test {
protected:
    std::unique_ptr<host3::Host> H;

    void SetUp() override {
        fixture::ResetStandIn();
        H = std::make_unique<host3::Host>();
        H->DiscardInput();
        H->AssumePlugin(kPlugin, "");
    }

    intptr_t Ectl(uint32_t Command, void* Param2 = nullptr, intptr_t Param1 = 0) {
        return H->Services().EditorControl(-1, Command, Param1, Param2);
    }
    // A window on marked text (bytes widened to units), marks set.
    void Open(const std::string& Markup) {
        const fixture::MarkedText M = fixture::ParseMarked(Markup);
        H->OpenWindow(u"a.txt", Widen(M.Text));
        fixture::SetMarks(*H, M);
    }
    std::string Marked() { return fixture::Marked(*H); }
    P Range(intptr_t Line) {
        api3::EditorGetString Egs{sizeof Egs, Line, 0, nullptr, nullptr, 7, 7};
        EXPECT_EQ(Ectl(api3::ECTL_GETSTRING, &Egs), 1);
        return {Egs.SelStart, Egs.SelEnd};
    }
    intptr_t Select(intptr_t Type, intptr_t Line, intptr_t Pos, intptr_t Width, intptr_t Height) {
        api3::EditorSelect Es{sizeof Es, Type, Line, Pos, Width, Height};
        return Ectl(api3::ECTL_SELECT, &Es);
    }
    api3::EditorInfo Info() {
        api3::EditorInfo Ei{};
        Ei.StructSize = sizeof Ei;
        EXPECT_EQ(Ectl(api3::ECTL_GETINFO, &Ei), 1);
        return Ei;
    }
};

INPUT_RECORD Focus() {
    INPUT_RECORD R{};
    R.EventType = FOCUS_EVENT;
    R.Event.FocusEvent.bSetFocus = TRUE;
    return R;
}

// ---- Selection ------------------------------------------------------------------

TEST_F(Host3ModelTest, SelectSucceedsOnTheLastLineAndGetStringReportsByBlockKind) {
    Open("ab\n\tcd\nlast");
    H->Win().Lines[0].SelStart = 0;  // a range without a block is not reported
    EXPECT_EQ(Range(0), P(-1, 0));
    EXPECT_EQ(Select(api3::BTYPE_STREAM, 1, 1, 2, 2), 1);  // the 1.70 host says 0 here
    EXPECT_EQ(Range(0), P(-1, 0));
    EXPECT_EQ(Range(1), P(1, -1));
    EXPECT_EQ(Range(2), P(0, 3));
    EXPECT_EQ(Select(api3::BTYPE_COLUMN, 0, 8, 2, 2), 1);  // columns 8 to 10
    EXPECT_EQ(Range(1), P(1, 3));                          // past the tab, in positions
    EXPECT_EQ(Select(api3::BTYPE_STREAM, 0, 0, 1, 0), 0);
    EXPECT_EQ(Select(api3::BTYPE_STREAM, 3, 0, 1, 1), 0);
    api3::EditorSelect Short{8, api3::BTYPE_STREAM, 0, 0, 1, 1};
    EXPECT_EQ(Ectl(api3::ECTL_SELECT, &Short), 0);
    EXPECT_EQ(H->Misuses, std::vector<std::string>{"ECTL_SELECT: StructSize 8"});
}

// ---- Editing calls ----------------------------------------------------------------

TEST_F(Host3ModelTest, SetStringTakesLineEndsAsTheCurrentHostDoes) {
    struct Case {
        const char* File;
        std::u16string Text;
        const char16_t* Eol;  // null: the file's default
        std::u16string WantText, WantEol;
    };
    const Case Cases[] = {
        {"a\nb", u"x", nullptr, u"x", u"\n"},
        {"ab", u"x", nullptr, u"x", u"\r\n"},      // a file without line ends: not none
        {"a\nb", u"x\r\n", u"\n", u"x", u"\r\n"},  // a trailing line end always wins
        {"a\nb", u"x\r\r\n", u"", u"x", u"\r\r\n"},
        {"a\nb", u"x", u"", u"x", u""},
        {"a\nb", u"x", u"\n\r", u"x", u""},  // unknown: none
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(host3::Narrow(C.Text) + " in " + C.File);
        Open(std::string("«") + C.File);
        api3::EditorSetString Ess{sizeof Ess, 0, static_cast<intptr_t>(C.Text.size()),
                                  C.Text.c_str(), C.Eol};
        ASSERT_EQ(Ectl(api3::ECTL_SETSTRING, &Ess), 1);
        EXPECT_EQ(H->Win().Lines[0].Text, C.WantText);
        EXPECT_EQ(H->Win().Lines[0].Eol, C.WantEol);
        EXPECT_EQ(H->Win().Lines[0].SelStart, 0) << "the selection is kept";
        H->CloseWindow(H->Win().EditorID);
    }
}

TEST_F(Host3ModelTest, InsertTextTypesUnitByUnit) {
    struct Case {
        const char* Before;
        std::u16string Text;
        bool AutoIndent;
        const char* After;
    };
    const Case Cases[] = {
        {"  a|b", u"\n", false, "  a\n|b"},
        {"  a|b", u"\n", true, "  a\n  |b"},  // a line feed follows auto-indent
        {"  a|b", u"\r", true, "  a\n|b"},
        {"a|b", u"\r\n", false, "a\n\n|b"},    // two breaks
        {"«ab»c|d", u"x", false, "cx|d"},      // a range ending inside the line goes
        {"a«bc|¶»", u"x", false, "a«bcx|¶»"},  // one through the line end stays
        {"\xE9|", u"\x0416\xD83D\xDE00\b", false, "\xE9\\u{0416}|"},  // a pair as a whole
        {"\n\n|", u"x", false, "\n\nx|"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Before);
        Open(C.Before);
        H->AutoIndent = C.AutoIndent;
        EXPECT_EQ(Ectl(api3::ECTL_INSERTTEXT, const_cast<char16_t*>(C.Text.c_str())), 1);
        EXPECT_EQ(Marked(), C.After);
        H->CloseWindow(H->Win().EditorID);
    }
    // On an empty line past its end the indentation comes from the nearest non-empty line.
    Open("  \tx\n\n");
    H->SetCursor(2, 12);
    Ectl(api3::ECTL_INSERTTEXT, const_cast<char16_t*>(u"y"));
    EXPECT_EQ(H->Win().Lines[2].Text, u"  \t    y");
    EXPECT_EQ(Ectl(api3::ECTL_INSERTTEXT), 0);
}

TEST_F(Host3ModelTest, DeletingJoinsTakesPairsAndDropsTheBlockAsTheCurrentHostDoes) {
    Open("a|b\r\ncd\n");
    H->Win().Lines[0].Text = u"a\xD83D\xDE00z";
    Ectl(api3::ECTL_DELETECHAR);
    EXPECT_EQ(H->Win().Lines[0].Text, u"az");
    H->SetCursor(0, 2);
    Ectl(api3::ECTL_DELETECHAR);  // the joined line takes the next line's end
    EXPECT_EQ(H->Text(), u"azcd\n");

    Open("«ab»\ncd\nef");  // the start line goes, the next one is not selected
    Ectl(api3::ECTL_DELETESTRING);
    EXPECT_EQ(Info().BlockType, api3::BTYPE_NONE);
    Open("|«ab\ncd»\nef");
    Ectl(api3::ECTL_DELETESTRING);
    EXPECT_EQ(Info().BlockType, api3::BTYPE_STREAM);
    EXPECT_EQ(Info().BlockStartLine, 0);

    Open("\t|x\nabcdefghij\nz");  // the cursor keeps its screen column
    Ectl(api3::ECTL_DELETESTRING);
    EXPECT_EQ(Marked(), "abcdefgh|ij\nz");
    intptr_t Line = -1;
    H->Win().Lines[0].Text = u"\tq";
    EXPECT_EQ(Ectl(api3::ECTL_EXPANDTABS, &Line), 1);  // a pointer-sized line number
    EXPECT_EQ(H->Win().Lines[0].Text, u"        q");
}

// ---- Input --------------------------------------------------------------------------

TEST_F(Host3ModelTest, MainLoopHandsCopiesSplitsRepeatsAndMakesUpNothing) {
    std::vector<INPUT_RECORD> Seen;
    H->OnEditorInput = [&](INPUT_RECORD& R) {
        Seen.push_back(R);
        R.Event.KeyEvent.uChar.UnicodeChar = 'z';  // the host's copy: goes nowhere
        return 0;
    };
    Open("|");
    H->Keys("x*3");
    EXPECT_EQ(Marked(), "xxx|");
    EXPECT_EQ(Seen.size(), 4u) << "three presses and the release";
    Seen.clear();
    H->Pump();  // nothing typed: no idle record
    H->Feed(INPUT_RECORD{});
    H->Keys("F11 Ctrl+W Alt+F9 F12 Ctrl+Tab F6 Alt+Ins");  // their presses never arrive
    EXPECT_EQ(Seen.size(), 7u) << "the releases only";
    H->WriteInput({Focus()});
    H->Pump();
    ASSERT_EQ(Seen.size(), 8u);
    EXPECT_EQ(Seen.back().EventType, FOCUS_EVENT);
    INPUT_RECORD AltUp = host::KeyPress("Alt");
    AltUp.Event.KeyEvent.bKeyDown = FALSE;
    AltUp.Event.KeyEvent.uChar.UnicodeChar = 0x0416;  // composed on the keypad
    H->Feed(AltUp);
    EXPECT_EQ(H->Win().Lines[0].Text, u"xxx\x0416");
}

TEST_F(Host3ModelTest, ProcessInputOffersKeysOnceAndMouseTwice) {
    int Calls = 0;
    H->OnEditorInput = [&](INPUT_RECORD& R) {
        ++Calls;
        R.Event.KeyEvent.uChar.UnicodeChar = 'z';
        return 0;
    };
    Open("|");
    INPUT_RECORD Key = host::KeyPress("q");
    EXPECT_EQ(Ectl(api3::ECTL_PROCESSINPUT, &Key), 1);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Key.Event.KeyEvent.uChar.UnicodeChar, 'q') << "the caller's record is untouched";
    EXPECT_EQ(Marked(), "q|");
    INPUT_RECORD Mouse = host::MouseEvent(3, 4, FROM_LEFT_1ST_BUTTON_PRESSED);
    Ectl(api3::ECTL_PROCESSINPUT, &Mouse);
    EXPECT_EQ(Calls, 3);
    EXPECT_EQ(Ectl(api3::ECTL_PROCESSINPUT), 0);
    // A window closed under the nested call: the key goes nowhere.
    H->OnProcessInput = [](host3::Host& Host, const INPUT_RECORD&) {
        Host.CloseWindow(Host.Win().EditorID);
    };
    Ectl(api3::ECTL_PROCESSINPUT, &Key);
    EXPECT_EQ(H->WindowCount(), 0);
}

TEST_F(Host3ModelTest, ReadInputGivesRecordsThenWakeUpsThenFails) {
    Open("|");
    H->WriteInput(host::ParseKeys("a*2", false));
    INPUT_RECORD R;
    for (int N = 0; N < 2; ++N) {
        ASSERT_EQ(Ectl(api3::ECTL_READINPUT, &R), 1);
        EXPECT_EQ(R.Event.KeyEvent.wRepeatCount, 1);
    }
    for (int N = 0; N < H->WakeUps; ++N) {
        std::memset(&R, 0x55, sizeof R);
        ASSERT_EQ(Ectl(api3::ECTL_READINPUT, &R), 1);
        EXPECT_EQ(R.EventType, 0);
    }
    EXPECT_EQ(Ectl(api3::ECTL_READINPUT, &R), 0);
    EXPECT_EQ(Ectl(api3::ECTL_READINPUT, &R), 0);
    EXPECT_EQ(H->StarvedReads, 2);
    H->WriteInput({host::KeyPress("b")});
    EXPECT_EQ(Ectl(api3::ECTL_READINPUT, &R), 1);
    EXPECT_EQ(R.Event.KeyEvent.uChar.UnicodeChar, 'b');
}

// ---- Screen, messages, language ------------------------------------------------------

TEST_F(Host3ModelTest, ScreenServicesTakeColourRecordsAndTheirHandles) {
    const api3::PluginStartupInfo& S = H->Services();
    const api3::Color Yellow{api3::FCF_FG_INDEX | api3::FCF_BG_INDEX, 0xFF00000E, 0xFF000001, 0, 0};
    HANDLE Saved = S.SaveScreen(0, 0, -1, 0);
    S.Text(2, 0, &Yellow, u"\x0416!");
    EXPECT_EQ(H->ScreenLine(0).substr(2, 2), u"\x0416!");
    EXPECT_EQ(H->ScreenAttr(2, 0), 0x1E);
    const api3::Color Clear{api3::FCF_FG_INDEX | api3::FCF_BG_INDEX, 0x0E, 0x01, 0, 0};
    S.Text(0, 0, &Clear, u"x");
    S.Text(0, 0, nullptr, nullptr);
    EXPECT_EQ(H->Flushes, 1);
    S.RestoreScreen(Saved);
    EXPECT_EQ(H->ScreenLine(0).substr(0, 4), u"    ");
    S.RestoreScreen(Saved);
    reinterpret_cast<void(WINAPI*)(HANDLE)>(S.FreeScreen)(S.SaveScreen(0, 0, 1, 1));
    EXPECT_EQ(H->SavedScreens(), 0);
    EXPECT_EQ(H->Misuses,
              (std::vector<std::string>{"Text: a colour that is not opaque (alpha not 0xFF)",
                                        "Text: a colour that is not opaque (alpha not 0xFF)",
                                        "RestoreScreen: unknown handle"}));

    const char16_t* Items[] = {u"Title", u"Text", u"Ok"};
    EXPECT_EQ(S.Message(&kPlugin, nullptr, 0, nullptr, Items, 2, 0), -1);  // the box stays
    EXPECT_NE(H->ScreenLine(12).find(u"Text"), std::u16string::npos);
    EXPECT_EQ(S.Message(&kPlugin, nullptr, 0, nullptr, Items, 3, 1), 0);
    EXPECT_EQ(S.Message(&kPlugin, nullptr, host3::FMSG_MB_OKCANCEL, nullptr, Items, 2, 0), 0);
    EXPECT_EQ(H->Messages.back().ButtonsNumber, 2);
    EXPECT_EQ(S.Message(&kPlugin, nullptr, 0, nullptr, Items, 1, 0), -1);
    EXPECT_EQ(H->Messages.size(), 3u);
}

TEST_F(Host3ModelTest, LanguageFilesAreDecodedAndParsedAsTheHostReadsThem) {
    auto Oem = [](const char* Bytes) {  // in the system's OEM code page
        WCHAR Units[3] = {};
        MultiByteToWideChar(CP_OEMCP, 0, Bytes, 3, Units, 3);
        return std::u16string(Units, Units + 3);
    };
    const std::pair<std::string, std::vector<std::u16string>> Cases[] = {
        {"\xEF\xBB\xBF.Language=Russian,Russian (x)\n\"a\"", {u"a"}},
        {"\"\xD0\x96\"", {u"\x0416"}},                                    // UTF-8 without a mark
        {"\"\xD0\x96\x86\xD0\x96\"", {u"\x0416" + Oem("\x86\xD0\x96")}},  // OEM from the fault on
        {std::string("\xFF\xFE\"\0x\0\"\0", 8), {u"x"}},                  // UTF-16LE
        {"\"a\\\\b\\\"c\\nd\\te\\qf\"\"g\"", {u"a\\b\"c\nd\te\\qf\"g"}},
        {"// c\n  \"x\" // y\r\n\t\"\"\r\n\"", {u"x\" // y", u"", u""}},
    };
    for (const auto& [Bytes, Messages] : Cases) {
        SCOPED_TRACE(fixture::Visible(Bytes));
        EXPECT_EQ(host3::ReadLanguageFile(Bytes).Messages, Messages);
    }
    EXPECT_EQ(host3::ReadLanguageFile(Cases[0].first).Name, u"Russian");

    const auto Dir = std::filesystem::path(::testing::TempDir()) / "host3_lng";
    std::filesystem::create_directories(Dir);
    std::ofstream(Dir / "a.lng") << ".Language=Russian,R\n\"ru\"\n";
    std::ofstream(Dir / "b.LNG") << ".Language=English,E\n\"en\"\n";
    H->AssumePlugin(kPlugin, (Dir / "x.so").string());
    const api3::PluginStartupInfo& S = H->Services();
    EXPECT_EQ(std::u16string(S.GetMsg(&kPlugin, 0)), u"en");
    H->SetLanguage(u"Russian");
    EXPECT_EQ(std::u16string(S.GetMsg(&kPlugin, 0)), u"ru");
    EXPECT_EQ(std::u16string(S.GetMsg(&kPlugin, 1)), u"");
    const api3::Guid Other{};
    EXPECT_EQ(std::u16string(S.GetMsg(&Other, 0)), u"");
    EXPECT_EQ(H->Misuses,
              (std::vector<std::string>{"GetMsg: no message 1", "GetMsg: not the plug-in's GUID"}));
    std::filesystem::remove_all(Dir);
}

// ---- Window type and settings -------------------------------------------------------

TEST_F(Host3ModelTest, WindowTypeFaultsAndSettingsCommittedWhenFreed) {
    const api3::PluginStartupInfo& S = H->Services();
    api3::WindowType Wt{sizeof Wt, 99};
    EXPECT_EQ(S.AdvControl(&kPlugin, api3::ACTL_GETWINDOWTYPE, 0, &Wt), 1);
    EXPECT_EQ(Wt.Type, host3::WTYPE_PANELS);
    Open("|");
    S.AdvControl(&kPlugin, api3::ACTL_GETWINDOWTYPE, 0, &Wt);
    EXPECT_EQ(Wt.Type, api3::WTYPE_EDITOR);
    H->FailService(host3::Service::AdvControl);  // counted, and failing as told
    EXPECT_EQ(S.AdvControl(&kPlugin, api3::ACTL_GETWINDOWTYPE, 0, &Wt), 0);
    EXPECT_EQ(H->Calls(host3::Service::AdvControl), 3);
    H->ClearFaults();

    H->Settings().Values[u"Seed"] = uint64_t{7};
    const api3::Guid Other{9, 9, 9, {}};
    api3::SettingsCreate Sc{sizeof Sc, Other, nullptr};
    EXPECT_EQ(S.SettingsControl(nullptr, api3::SCTL_CREATE, api3::PSL_ROAMING, &Sc), 0);
    Sc.Id = kPlugin;
    ASSERT_EQ(S.SettingsControl(nullptr, api3::SCTL_CREATE, api3::PSL_ROAMING, &Sc), 1);
    api3::SettingsItem Item{sizeof Item, 0, u"Seed", api3::FST_QWORD, {}};
    ASSERT_EQ(S.SettingsControl(Sc.Handle, api3::SCTL_GET, 0, &Item), 1);
    EXPECT_EQ(Item.Value.Number, 7u);
    api3::SettingsValue Key{sizeof Key, 0, u"File Types"};
    const intptr_t Root = S.SettingsControl(Sc.Handle, api3::SCTL_CREATESUBKEY, 0, &Key);
    ASSERT_GT(Root, 0);
    Item = {sizeof Item, static_cast<size_t>(Root), u"a.txt", api3::FST_STRING, {}};
    Item.Value.String = u"on";
    EXPECT_EQ(S.SettingsControl(Sc.Handle, api3::SCTL_SET, 0, &Item), 1);
    EXPECT_TRUE(H->Settings().Keys.empty()) << "not committed before SCTL_FREE";
    EXPECT_EQ(S.SettingsControl(Sc.Handle, api3::SCTL_FREE, 0, nullptr), 1);
    EXPECT_EQ(H->Settings().Keys[u"File Types"].Values[u"a.txt"], host3::SettingValue(u"on"));
    EXPECT_EQ(H->OpenSettings(), 0);
    EXPECT_EQ(H->Misuses, std::vector<std::string>{"SCTL_CREATE: not the plug-in's GUID"});
}

// ---- The module: load sequence with the probe plug-in ---------------------------------

// The probe module, loaded by the test itself for as long as it runs, so that its state
// outlives the host's loads and unloads.
class ProbeModule {
public:
#ifdef _WIN32
    static constexpr const char* kFile = "Probe3.dll";
#else
    static constexpr const char* kFile = "Probe3.so";
#endif
    const std::string Path =
        (std::filesystem::path(host3::Host::DefaultPluginPath()).parent_path().parent_path() /
         "probe3" / kFile)
            .string();
#ifdef _WIN32
    HMODULE M = LoadLibraryA(Path.c_str());
    ~ProbeModule() {
        FreeLibrary(M);
    }
    probe3::State& State() {
        return *reinterpret_cast<probe3::StateFn>(
            reinterpret_cast<void*>(GetProcAddress(M, "ProbeState")))();
    }
#else
    void* M = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ~ProbeModule() {
        dlclose(M);
    }
    probe3::State& State() {
        return *reinterpret_cast<probe3::StateFn>(dlsym(M, "ProbeState"))();
    }
#endif
};

TEST_F(Host3ModelTest, LoadSequenceChecksTheIdentityAndStartsWithRecordsOfTheCall) {
    ProbeModule Probe;
    ASSERT_TRUE(Probe.M) << Probe.Path;
    probe3::State& St = Probe.State();
    const api3::GlobalInfo Good = St.Info;
    const std::pair<void (*)(api3::GlobalInfo&, bool&), const char*> Refusals[] = {
        {[](api3::GlobalInfo& I, bool&) { I.Title = u""; }, "no title"},
        {[](api3::GlobalInfo& I, bool&) { I.Description = nullptr; }, "no description"},
        {[](api3::GlobalInfo& I, bool&) { I.Author = u""; }, "no author"},
        {[](api3::GlobalInfo& I, bool&) { I.Id = api3::Guid{}; }, "all-zero GUID"},
        {[](api3::GlobalInfo& I, bool&) {
             I.MinHostVersion = {3, 0, 0, 6731, 0};
         },
         "3.0.6731.0"},
        {[](api3::GlobalInfo& I, bool&) {
             I.MinHostVersion = {3, 0, 1, 6730, 0};
         },
         "3.0.6730.1"},
        {[](api3::GlobalInfo&, bool& Clear) { Clear = true; }, "cleared StructSize"},
    };
    for (const auto& [Spoil, Why] : Refusals) {
        SCOPED_TRACE(Why);
        St.Info = Good;
        St.ClearSize = false;
        Spoil(St.Info, St.ClearSize);
        EXPECT_FALSE(H->LoadPlugin(Probe.Path));
        EXPECT_NE(H->LoadError.find(Why), std::string::npos) << H->LoadError;
    }
    St.Info = Good;
    St.ClearSize = false;
    St.Info.MinHostVersion = {3, 0, 0, 6730, 5};  // the stage is not compared
    ASSERT_TRUE(H->LoadPlugin(Probe.Path)) << H->LoadError;
    H->UnloadPlugin();
    EXPECT_EQ(St.Starts + St.Exits, 0) << "ExitFARW only after SetStartupInfoW";

    ASSERT_TRUE(H->LoadPlugin(Probe.Path));
    H->StartPlugin();
    EXPECT_EQ(St.Copy.StructSize, sizeof(api3::PluginStartupInfo));
    EXPECT_NE(St.Kept, &H->Services()) << "a record of the call, not the host's own";
    Open("abc|");
    api3::EditorInfo Ei{};
    Ei.StructSize = sizeof Ei;
    EXPECT_EQ(St.Copy.EditorControl(-1, api3::ECTL_GETINFO, 0, &Ei), 1);
    EXPECT_EQ(Ei.CurPos, 3);
    const auto Upper = reinterpret_cast<char16_t(WINAPI*)(char16_t)>(St.Copy.FSF->Slots[13]);
    EXPECT_EQ(Upper(u'\x044F'), u'\x042F');
    H->Settings().Values[u"Kept"] = uint64_t{1};
    H->UnloadPlugin();
    EXPECT_EQ(St.Exits, 1);
    ASSERT_TRUE(H->LoadPlugin(Probe.Path));
    EXPECT_EQ(H->Settings().Values.count(u"Kept"), 1u) << "the store outlives the module";
    EXPECT_EQ(H->Identity().Title, u"Probe");
}

}  // namespace
