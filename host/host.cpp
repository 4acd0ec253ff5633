// The stand-in host: the plug-in module, its windows, the input loop, the
// language file, counting and fault injection, and the registry helpers.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host_impl.h"

#ifdef _WIN32
#include <process.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace host {

namespace {

Host* TheHost = nullptr;
int HostSerial = 0;  // makes each host's registry root unique within the process

// A window stands in when none is open, so that Win() never dangles.
Window& NoWindow() {
    static Window W;
    W = Window();
    W.Lines.push_back(Line());
    return W;
}

std::string Folder(const std::string& Path) {
    size_t Slash = Path.find_last_of("/\\");
    return Slash == std::string::npos ? std::string(".") : Path.substr(0, Slash);
}

void* FindExport(void* Module, const char* Name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Module), Name));
#else
    return dlsym(Module, Name);
#endif
}

int ProcessId() {
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
}

}  // namespace

// ---- Life ---------------------------------------------------------------------

Host::Host() : impl_(new Impl) {
    if (TheHost) std::fprintf(stderr, "host: a second Host while one is alive\n");
    TheHost = this;
    impl_->Self = this;
    CloseKeys.push_back(VK_F10);
    impl_->RootKey = "Software\\TarvikTests\\" + std::to_string(ProcessId()) + "-" +
                     std::to_string(++HostSerial);
    // The real host's plug-in key exists before any plug-in starts.
    HKEY Key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, impl_->RootKey.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &Key,
                        nullptr) == ERROR_SUCCESS)
        RegCloseKey(Key);
    impl_->LoadLanguage("Eng");
    impl_->FillStartup(0);
}

Host::~Host() {
    while (!impl_->Windows.empty()) CloseWindow(impl_->Windows.back()->EditorID);
    UnloadPlugin();
    for (SavedScreen* S : impl_->Saved) delete S;
    RegDeleteTreeA(HKEY_CURRENT_USER, impl_->RootKey.c_str());
    delete impl_;
    if (TheHost == this) TheHost = nullptr;
}

Host* Host::Current() {
    return TheHost;
}

// ---- The module ---------------------------------------------------------------

std::string Host::DefaultPluginPath() {
#ifdef _WIN32
    char Buf[MAX_PATH];
    DWORD N = GetModuleFileNameA(nullptr, Buf, MAX_PATH);
    std::string Exe(Buf, N < MAX_PATH ? N : 0);
    return Folder(Exe) + "\\" + TARVIK_PLUGIN_FILE;
#else
    char Buf[4096];
    ssize_t N = readlink("/proc/self/exe", Buf, sizeof Buf - 1);
    std::string Exe(Buf, N > 0 ? static_cast<size_t>(N) : 0);
    return Folder(Exe) + "/" + TARVIK_PLUGIN_FILE;
#endif
}

bool Host::LoadPlugin(const std::string& Path) {
    UnloadPlugin();
#ifdef _WIN32
    void* M = reinterpret_cast<void*>(LoadLibraryA(Path.c_str()));
#else
    void* M = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!M) std::fprintf(stderr, "host: %s\n", dlerror());
#endif
    if (!M) return false;
    Impl& I = *impl_;
    I.Module = M;
    I.ModulePath = Path;
    I.SetStartupInfo = reinterpret_cast<TSetStartupInfo>(FindExport(M, "SetStartupInfo"));
    I.GetPluginInfo = reinterpret_cast<TGetPluginInfo>(FindExport(M, "GetPluginInfo"));
    I.OpenPlugin = reinterpret_cast<TOpenPlugin>(FindExport(M, "OpenPlugin"));
    I.ProcessEditorEvent =
        reinterpret_cast<TProcessEditorEvent>(FindExport(M, "ProcessEditorEvent"));
    I.ProcessEditorInput =
        reinterpret_cast<TProcessEditorInput>(FindExport(M, "ProcessEditorInput"));
    if (!I.SetStartupInfo || !I.GetPluginInfo || !I.OpenPlugin || !I.ProcessEditorEvent ||
        !I.ProcessEditorInput) {
        std::fprintf(stderr, "host: %s lacks an export\n", Path.c_str());
        UnloadPlugin();
        return false;
    }
    I.LoadLanguage(I.Language);
    return true;
}

void Host::UnloadPlugin() {
    Impl& I = *impl_;
    if (!I.Module) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(I.Module));
#else
    dlclose(I.Module);
#endif
    I.Module = nullptr;
    I.SetStartupInfo = nullptr;
    I.GetPluginInfo = nullptr;
    I.OpenPlugin = nullptr;
    I.ProcessEditorEvent = nullptr;
    I.ProcessEditorInput = nullptr;
}

bool Host::PluginLoaded() const {
    return impl_->Module != nullptr;
}

void Host::Impl::FillStartup(int StructSize) {
    HostStartupInfo& S = Startup;
    std::memset(&S, 0, sizeof S);
    S.Psi.StructSize = StructSize ? StructSize : static_cast<int>(sizeof(HostStartupInfo));
    std::snprintf(S.Psi.ModuleName, sizeof S.Psi.ModuleName, "%s", ModulePath.c_str());
    S.Psi.ModuleNumber = kModuleNumber;
    S.Psi.RootKey = RootKey.c_str();
    S.Psi.Menu = SvcUnused;
    S.Psi.Dialog = SvcUnused;
    S.Psi.Message = SvcMessage;
    S.Psi.GetMsg = SvcGetMsg;
    S.Psi.Control = SvcUnused;
    S.Psi.SaveScreen = SvcSaveScreen;
    S.Psi.RestoreScreen = SvcRestoreScreen;
    S.Psi.GetDirList = SvcUnused;
    S.Psi.GetPluginDirList = SvcUnused;
    S.Psi.FreeDirList = SvcUnused;
    S.Psi.Viewer = SvcUnused;
    S.Psi.Editor = SvcUnused;
    S.Psi.CmpName = SvcUnused;
    S.Psi.CharTable = SvcCharTable;
    S.Psi.Text = SvcText;
    S.Psi.EditorControl = SvcEditorControl;
    S.AdvControl = SvcUnused;
    S.InputBox = SvcUnused;
    S.DialogEx = SvcUnused;
    S.SendDlgMessage = SvcUnused;
    S.DefDlgProc = SvcUnused;
    S.ViewerControl = SvcUnused;
}

void Host::StartPlugin(int StructSize) {
    Impl& I = *impl_;
    I.FillStartup(StructSize);
    DrawKeyBar();
    if (I.SetStartupInfo) I.SetStartupInfo(&I.Startup.Psi);
}

const PluginStartupInfo& Host::StartupInfo() const {
    return impl_->Startup.Psi;
}

const std::string& Host::RootKey() const {
    return impl_->RootKey;
}
std::string Host::SettingsKey() const {
    return impl_->RootKey + "\\Tarvik";
}
std::string Host::FileTypesKey() const {
    return SettingsKey() + "\\File Types";
}

// ---- Entry points -------------------------------------------------------------

PluginInfo Host::GetPluginInfo() {
    PluginInfo Pi;
    std::memset(&Pi, 0, sizeof Pi);
    Pi.StructSize = static_cast<int>(sizeof Pi);
    if (impl_->GetPluginInfo) impl_->GetPluginInfo(&Pi);
    return Pi;
}

std::vector<std::string> Host::MenuItems() {
    PluginInfo Pi = GetPluginInfo();
    std::vector<std::string> Items;
    if (!Pi.PluginMenuStrings) return Items;
    for (int N = 0; N < Pi.PluginMenuStringsNumber; ++N)
        Items.push_back(Pi.PluginMenuStrings[N] ? Pi.PluginMenuStrings[N] : "<null>");
    return Items;
}

HANDLE Host::OpenPlugin(int OpenFrom, int Item) {
    if (!impl_->OpenPlugin) return INVALID_HANDLE_VALUE;
    return impl_->OpenPlugin(OpenFrom, Item);
}

int Host::EditorEvent(int Event, void* Param) {
    if (!impl_->ProcessEditorEvent) return 0;
    return impl_->ProcessEditorEvent(Event, Param);
}

int Host::ProcessEditorInput(INPUT_RECORD& Rec) {
    return impl_->OwnInput(&Rec);
}

namespace {

// File names as the host sorts its plug-ins: without case.
bool NameBefore(const std::string& A, const std::string& B) {
    return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(), [](char X, char Y) {
        return std::tolower(static_cast<unsigned char>(X)) <
               std::tolower(static_cast<unsigned char>(Y));
    });
}

}  // namespace

void Host::AddPlugin(const std::string& FileName, std::function<int(INPUT_RECORD&)> Input) {
    auto& Others = impl_->Others;
    auto At = std::upper_bound(Others.begin(), Others.end(), FileName,
                               [](const std::string& Name, const Impl::OtherPlugin& P) {
                                   return NameBefore(Name, P.FileName);
                               });
    Others.insert(At, Impl::OtherPlugin{FileName, std::move(Input)});
}

std::string Host::Impl::ModuleFileName() const {
    const std::string Path = ModulePath.empty() ? Host::DefaultPluginPath() : ModulePath;
    const size_t Slash = Path.find_last_of("/\\");
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

int Host::Impl::PluginInput(INPUT_RECORD* Rec) {
    if (Others.empty()) return OwnInput(Rec);
    // A copy: a plug-in that a test adds from inside the chain waits for the next event.
    const std::vector<OtherPlugin> Chain = Others;
    const std::string Own = ModuleFileName();
    bool OwnAsked = false;
    for (const OtherPlugin& P : Chain) {
        if (!OwnAsked && !NameBefore(P.FileName, Own)) {
            OwnAsked = true;
            if (const int Answer = OwnInput(Rec)) return Answer;
        }
        if (const int Answer = P.Input ? P.Input(*Rec) : 0) return Answer;
    }
    return OwnAsked ? 0 : OwnInput(Rec);
}

// ---- Windows ------------------------------------------------------------------

Window* Host::Impl::Find(int EditorID) const {
    for (const auto& W : Windows)
        if (W->EditorID == EditorID) return W.get();
    return nullptr;
}

int Host::OpenWindow(const std::string& FileName, const std::string& Text, bool SendRead) {
    auto W = std::make_unique<Window>();
    W->EditorID = impl_->NextEditorId++;
    W->FileName = FileName;
    W->Lines = SplitLines(Text);
    for (const Line& L : W->Lines)
        if (!L.Eol.empty()) {
            W->DefaultEol = L.Eol;
            break;
        }
    if (impl_->ExpandTabs == Expand::AllTabs) ExpandAllTabs(*W);
    int Id = W->EditorID;
    impl_->Windows.push_back(std::move(W));
    impl_->Current = Id;
    impl_->PanelsActive = false;
    if (SendRead) EditorEvent(EE_READ, nullptr);
    return Id;
}

void Host::CloseWindow(int EditorID) {
    Impl& I = *impl_;
    if (!I.Find(EditorID)) return;
    int Id = EditorID;
    // The window still exists while the plug-in hears of its closing.
    EditorEvent(EE_CLOSE, &Id);
    auto It = std::find_if(I.Windows.begin(), I.Windows.end(),
                           [&](const auto& W) { return W->EditorID == EditorID; });
    if (It == I.Windows.end()) return;
    I.Windows.erase(It);
    I.RetireLineCopies();
    if (I.Current == EditorID) I.Current = I.Windows.empty() ? 0 : I.Windows.back()->EditorID;
}

void Host::SwitchTo(int EditorID) {
    if (!impl_->Find(EditorID)) return;
    impl_->Current = EditorID;
    impl_->PanelsActive = false;
}

bool Host::HasWindow(int EditorID) const {
    return impl_->Find(EditorID) != nullptr;
}
int Host::WindowCount() const {
    return static_cast<int>(impl_->Windows.size());
}

Window& Host::Win() {
    Window* W = impl_->Find(impl_->Current);
    return W ? *W : NoWindow();
}

Window& Host::Win(int EditorID) {
    Window* W = impl_->Find(EditorID);
    return W ? *W : NoWindow();
}

std::string Host::Text() const {
    std::string Out;
    if (Window* W = impl_->Find(impl_->Current))
        for (const Line& L : W->Lines) Out += L.Text + L.Eol;
    return Out;
}

std::vector<std::string> Host::LineTexts() const {
    std::vector<std::string> Out;
    if (Window* W = impl_->Find(impl_->Current))
        for (const Line& L : W->Lines) Out.push_back(L.Text);
    return Out;
}

void Host::SetNoCurrentEditor(bool None) {
    impl_->NoCurrentEditor = None;
}

void Host::SetPanelsActive(bool Active) {
    impl_->PanelsActive = Active;
}

void Host::SetExpandTabs(Expand Mode) {
    impl_->ExpandTabs = Mode;
    if (Mode != Expand::AllTabs) return;
    for (const auto& W : impl_->Windows) {
        Settle(*W);
        if (ExpandAllTabs(*W)) impl_->RetireLineCopies();
    }
}

Host::Expand Host::ExpandTabs() const {
    return impl_->ExpandTabs;
}

std::vector<Line> SplitLines(const std::string& Text) {
    return SplitText(Text);
}

// ---- Cursor and selection -----------------------------------------------------

void Host::SetCursor(int LineNo, int Pos) {
    Window& W = Win();
    W.CurLine = std::clamp(LineNo, 0, static_cast<int>(W.Lines.size()) - 1);
    W.CurPos = std::max(Pos, 0);
    KeepCursorVisible(W);
}

void Host::SelectStream(int StartLine, int StartPos, int Width, int Height) {
    EditorSelect Es{BTYPE_STREAM, StartLine, StartPos, Width, Height};
    Window* Saved = impl_->Find(impl_->Current);
    if (!Saved) return;
    bool No = impl_->NoCurrentEditor;
    impl_->NoCurrentEditor = false;
    impl_->EditorControl(ECTL_SELECT, &Es);
    impl_->NoCurrentEditor = No;
}

void Host::SelectColumn(int StartLine, int StartPos, int Width, int Height) {
    EditorSelect Es{BTYPE_COLUMN, StartLine, StartPos, Width, Height};
    if (!impl_->Find(impl_->Current)) return;
    bool No = impl_->NoCurrentEditor;
    impl_->NoCurrentEditor = false;
    impl_->EditorControl(ECTL_SELECT, &Es);
    impl_->NoCurrentEditor = No;
}

void Host::ClearSelection() {
    RemoveBlock(Win());
}

std::string Host::SelectionString() const {
    Window* W = impl_->Find(impl_->Current);
    return W ? SelectionSummary(*W) : "none";
}

// ---- Input --------------------------------------------------------------------

// Natively the stand-in's read returns nothing when the buffer is empty, and no
// other console call is made, so that the plug-in's own console calls can be
// counted exactly. Windows blocks on an empty buffer: ask first there.
bool ReadWaitingInput(INPUT_RECORD& Rec) {
    HANDLE In = GetStdHandle(STD_INPUT_HANDLE);
    DWORD Read = 0;
#ifdef _WIN32
    if (!GetNumberOfConsoleInputEvents(In, &Read) || Read == 0) return false;
#endif
    return ReadConsoleInputA(In, &Rec, 1, &Read) && Read == 1;
}

void Host::WriteInput(const std::vector<INPUT_RECORD>& Events) {
    if (Events.empty()) return;
    DWORD Written = 0;
    WriteConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), Events.data(),
                       static_cast<DWORD>(Events.size()), &Written);
}

void Host::Pump() {
    bool IdleGiven = false;
    // A plug-in that keeps refilling the input must not hang a test.
    for (int Guard = 0; Guard < 1000000; ++Guard) {
        INPUT_RECORD Rec;
        if (impl_->ReadConsoleEvent(Rec)) {
            IdleGiven = false;
        } else {
            if (!IdleWhenDry || IdleGiven) return;
            IdleGiven = true;
            Rec = IdleRecord();
        }
        Feed(Rec);
    }
    Misuses.push_back("Pump: the input never ran dry");
}

void Host::Keys(const std::string& K) {
    WriteInput(ParseKeys(K));
    Pump();
}

void Host::Type(const std::string& T) {
    std::vector<INPUT_RECORD> Events;
    for (unsigned char C : T) {
        INPUT_RECORD R = CharPress(C);
        Events.push_back(R);
        R.Event.KeyEvent.bKeyDown = FALSE;
        Events.push_back(R);
    }
    WriteInput(Events);
    Pump();
}

int Host::Feed(INPUT_RECORD Event) {
    return impl_->MainLoopEvent(Event);
}

size_t Host::PendingInput() const {
    DWORD N = 0;
    if (!GetNumberOfConsoleInputEvents(GetStdHandle(STD_INPUT_HANDLE), &N)) return 0;
    return N;
}

std::vector<INPUT_RECORD> Host::PeekInput() const {
    std::vector<INPUT_RECORD> Out(PendingInput());
    if (Out.empty()) return Out;
    DWORD Read = 0;
    if (!PeekConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), Out.data(),
                           static_cast<DWORD>(Out.size()), &Read))
        Read = 0;
    Out.resize(Read);
    return Out;
}

void Host::DiscardInput() {
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
}

int Host::ProcessInputDepth() const {
    return impl_->Depth;
}

bool Host::LineCopyLive(const char* P) const {
    for (const auto& Entry : impl_->LineCopies)
        if (Entry.second.Bytes.get() == P) return true;
    for (const auto& Bytes : impl_->RetiredCopies)
        if (Bytes.get() == P) return true;
    return false;
}

// ---- Language -----------------------------------------------------------------

// Reads <plug-in>Suffix.lng from the plug-in's folder as the host does: the
// first line names the language, "//" lines are comments, and each line that
// starts with a double quote holds the next message up to its last quote.
void Host::Impl::LoadLanguage(const std::string& Suffix) {
    std::string Path = ModulePath.empty() ? Host::DefaultPluginPath() : ModulePath;
    std::string Dir = Folder(Path);
    std::string Base = Path.substr(Dir.size() + (Dir.size() < Path.size() ? 1 : 0));
    size_t Dot = Base.rfind('.');
    if (Dot != std::string::npos) Base.erase(Dot);
    std::ifstream In(Dir + "/" + Base + Suffix + ".lng", std::ios::binary);
    if (!In) return;
    Messages.clear();
    std::string Line;
    bool First = true;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (First) {
            First = false;
            if (Line.compare(0, 3, "\xEF\xBB\xBF") == 0) Line.erase(0, 3);
            if (Line.compare(0, 10, ".Language=") == 0) continue;
        }
        size_t B = Line.find_first_not_of(" \t");
        if (B == std::string::npos || Line.compare(B, 2, "//") == 0) continue;
        if (Line[B] != '"') continue;
        size_t E = Line.rfind('"');
        Messages.push_back(E > B ? Line.substr(B + 1, E - B - 1) : std::string());
    }
}

bool Host::SetLanguage(const std::string& Suffix) {
    std::vector<std::string> Old = impl_->Messages;
    impl_->Messages.clear();
    impl_->LoadLanguage(Suffix);
    if (impl_->Messages.empty()) {
        impl_->Messages = Old;
        return false;
    }
    impl_->Language = Suffix;
    return true;
}

void Host::OverrideMsg(int Id, const std::string& T) {
    impl_->Overrides[Id] = T;
}

std::string Host::Msg(int Id) const {
    auto It = impl_->Overrides.find(Id);
    if (It != impl_->Overrides.end()) return It->second;
    if (Id < 0 || Id >= static_cast<int>(impl_->Messages.size())) return std::string();
    return impl_->Messages[Id];
}

const char* WINAPI SvcGetMsg(int PluginNumber, int MsgId) {
    Host* H = Host::Current();
    if (!H) return nullptr;
    Host::Impl& I = *H->impl();
    if (I.Enter(Service::GetMsg)) return nullptr;
    if (PluginNumber != kModuleNumber) {
        I.Misuse("GetMsg: plug-in number " + std::to_string(PluginNumber));
        return nullptr;
    }
    auto It = I.Overrides.find(MsgId);
    if (It != I.Overrides.end()) return It->second.c_str();
    if (MsgId < 0 || MsgId >= static_cast<int>(I.Messages.size())) {
        I.Misuse("GetMsg: no message " + std::to_string(MsgId));
        return "";
    }
    return I.Messages[MsgId].c_str();
}

// ---- Counting and faults ------------------------------------------------------

int Host::Calls(Service S) const {
    return impl_->Ledger.Calls(static_cast<int>(S));
}

int Host::EctlCalls(int Command) const {
    return impl_->Ledger.EctlCalls(Command);
}

int Host::TotalCalls() const {
    return impl_->Ledger.Total();
}

void Host::ResetCounters() {
    impl_->Ledger.ResetCounts();
}

void Host::FailFrom(int Nth) {
    impl_->Ledger.FailFrom(Nth);
}
void Host::FailNth(int Nth) {
    impl_->Ledger.FailNth(Nth);
}

void Host::FailCommand(int Command, bool Fail) {
    impl_->Ledger.FailCommand(Command, Fail);
}

void Host::FailService(Service S, bool Fail) {
    impl_->Ledger.FailKind(static_cast<int>(S), Fail);
}

#ifdef _WIN32
void Host::FaultCommand(int Command, bool Fault) {
    impl_->Ledger.FaultCommand(Command, Fault);
}
#endif

void Host::ClearFaults() {
    impl_->Ledger.ClearFaults();
}

void WINAPI SvcUnused() {
    if (Host* H = Host::Current()) H->Misuses.push_back("an unused service slot was called");
}

// ---- Registry -----------------------------------------------------------------

bool Host::RegWrite(const std::string& Key, const std::string& Name, DWORD Type,
                    const std::vector<BYTE>& Data) {
    HKEY K = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &K, nullptr) != ERROR_SUCCESS)
        return false;
    LONG R = RegSetValueExA(K, Name.c_str(), 0, Type, Data.empty() ? nullptr : Data.data(),
                            static_cast<DWORD>(Data.size()));
    RegCloseKey(K);
    return R == ERROR_SUCCESS;
}

bool Host::RegWriteDword(const std::string& Key, const std::string& Name, DWORD Value) {
    std::vector<BYTE> Data(4);
    for (int I = 0; I < 4; ++I) Data[I] = static_cast<BYTE>(Value >> (8 * I));
    return RegWrite(Key, Name, REG_DWORD, Data);
}

bool Host::RegRead(const std::string& Key, const std::string& Name, DWORD& Type,
                   std::vector<BYTE>& Data) const {
    HKEY K = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_QUERY_VALUE, &K) != ERROR_SUCCESS)
        return false;
    DWORD Size = 0;
    LONG R = RegQueryValueExA(K, Name.c_str(), nullptr, &Type, nullptr, &Size);
    if (R == ERROR_SUCCESS) {
        Data.assign(Size, 0);
        R = RegQueryValueExA(K, Name.c_str(), nullptr, &Type, Size ? Data.data() : nullptr, &Size);
        Data.resize(Size);
    }
    RegCloseKey(K);
    return R == ERROR_SUCCESS;
}

bool Host::RegKeyExists(const std::string& Key) const {
    HKEY K = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_QUERY_VALUE, &K) != ERROR_SUCCESS)
        return false;
    RegCloseKey(K);
    return true;
}

}  // namespace host
