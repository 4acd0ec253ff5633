// The generation-3 stand-in host: the module and its load sequence, the startup
// record and standard functions, the windows, AdvControl, counting and faults.
//
// Choices where the real host is not pinned down:
// - A module without GetGlobalInfoW is refused (the real host would try its 1.70
//   layer); the other exports are optional, as there, and a missing one is not called.
// - Opening a window sends EE_KILLFOCUS to the window before it, then EE_READ and
//   EE_GOTFOCUS; a window opened without EE_READ gets no focus events either.
// - AdvControl answers ACTL_GETWINDOWTYPE (editor 3, panels 1 while they are active
//   or no editor exists), ACTL_GETHOSTVERSION and ACTL_REDRAWALL; other commands
//   fail and are recorded as misuses, so that a plug-in's use of them shows.
// - The standard-function table holds the case functions (slots 10 to 19); the other
//   slots record a misuse when called.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "host3_impl.h"

#ifdef _WIN32
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace host3 {

namespace {

Host* TheHost = nullptr;

Window& NoWindow() {
    static Window W;
    W = Window();
    W.Lines.emplace_back();
    return W;
}

std::string Folder(const std::string& Path) {
    size_t Slash = Path.find_last_of("/\\");
    return Slash == std::string::npos ? std::string(".") : Path.substr(0, Slash);
}

std::string ExeFolder() {
#ifdef _WIN32
    char Buf[MAX_PATH];
    DWORD N = GetModuleFileNameA(nullptr, Buf, MAX_PATH);
    return Folder(std::string(Buf, N < MAX_PATH ? N : 0));
#else
    char Buf[4096];
    ssize_t N = readlink("/proc/self/exe", Buf, sizeof Buf - 1);
    return Folder(std::string(Buf, N > 0 ? static_cast<size_t>(N) : 0));
#endif
}

void* OpenModule(const std::string& Path, std::string& Error) {
#ifdef _WIN32
    void* M = reinterpret_cast<void*>(LoadLibraryA(Path.c_str()));
    if (!M) Error = "cannot load " + Path + " (error " + std::to_string(GetLastError()) + ")";
#else
    void* M = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!M) Error = std::string("cannot load: ") + dlerror();
#endif
    return M;
}

void CloseModule(void* M) {
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(M));
#else
    dlclose(M);
#endif
}

void* FindExport(void* Module, const char* Name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Module), Name));
#else
    return dlsym(Module, Name);
#endif
}

template <class T>
void Bind(void* Module, const char* Name, T& Fn) {
    Fn = reinterpret_cast<T>(FindExport(Module, Name));
}

std::u16string Copied(const char16_t* S) {
    return S ? std::u16string(S) : std::u16string();
}

// The version as the host writes it: Major.Minor.Build.Revision.
std::string VersionText(const api3::VersionInfo& V) {
    return std::to_string(V.Major) + "." + std::to_string(V.Minor) + "." + std::to_string(V.Build) +
           "." + std::to_string(V.Revision);
}

// Why the host refuses a plug-in after GetGlobalInfoW, or "" when it takes it.
std::string Refusal(const api3::GlobalInfo& Gi) {
    if (Gi.StructSize == 0) return "GetGlobalInfoW cleared StructSize";
    if (!Gi.Title || !*Gi.Title) return "GetGlobalInfoW gave no title";
    if (!Gi.Description || !*Gi.Description) return "GetGlobalInfoW gave no description";
    if (!Gi.Author || !*Gi.Author) return "GetGlobalInfoW gave no author";
    if (SameGuid(Gi.Id, api3::Guid{})) return "GetGlobalInfoW gave the all-zero GUID";
    const api3::VersionInfo& M = Gi.MinHostVersion;
    const api3::VersionInfo& H = kHostVersion;
    // Major, Minor, then Build, then Revision; Stage is not compared.
    const uint32_t Need[] = {M.Major, M.Minor, M.Build, M.Revision};
    const uint32_t Have[] = {H.Major, H.Minor, H.Build, H.Revision};
    if (std::lexicographical_compare(Have, Have + 4, Need, Need + 4))
        return "the plug-in needs host " + VersionText(M) + ", this is " + VersionText(H);
    return "";
}

// Overwrites a record the plug-in had only for the length of a call.
void Scribble(void* Record, size_t Size) {
    volatile unsigned char* P = static_cast<unsigned char*>(Record);
    for (size_t I = 0; I < Size; ++I) P[I] = 0xA5;
}

// SetStartupInfoW with its records on this function's stack, as the real host has
// them; they are scribbled over before it returns, so a plug-in that keeps the
// pointer instead of a copy reads 0xA5 bytes, and a kept service pointer faults.
[[gnu::noinline]] void CallStartup(Host::Impl& I, size_t StructSize) {
    api3::PluginStartupInfo Psi;
    api3::StandardFunctions Fsf;
    I.FillStartup(Psi, Fsf, StructSize);
    I.SetStartupInfoW(&Psi);
    Scribble(&Psi, sizeof Psi);
    Scribble(&Fsf, sizeof Fsf);
}

// ---- Standard functions: the case of UTF-16 units ---------------------------------

WCHAR AsWchar(char16_t C) {
    return static_cast<WCHAR>(C);
}

int WINAPI FsfIsLower(char16_t C) {
    return IsCharLowerW(AsWchar(C)) ? 1 : 0;
}
int WINAPI FsfIsUpper(char16_t C) {
    return IsCharUpperW(AsWchar(C)) ? 1 : 0;
}
int WINAPI FsfIsAlpha(char16_t C) {
    return IsCharAlphaW(AsWchar(C)) ? 1 : 0;
}
int WINAPI FsfIsAlphanum(char16_t C) {
    return IsCharAlphaNumericW(AsWchar(C)) ? 1 : 0;
}
char16_t WINAPI FsfUpper(char16_t C) {
    WCHAR W = AsWchar(C);
    CharUpperBuffW(&W, 1);
    return static_cast<char16_t>(W);
}
char16_t WINAPI FsfLower(char16_t C) {
    WCHAR W = AsWchar(C);
    CharLowerBuffW(&W, 1);
    return static_cast<char16_t>(W);
}
void WINAPI FsfUpperBuf(char16_t* Buf, intptr_t Length) {
    for (intptr_t I = 0; Buf && I < Length; ++I) Buf[I] = FsfUpper(Buf[I]);
}
void WINAPI FsfLowerBuf(char16_t* Buf, intptr_t Length) {
    for (intptr_t I = 0; Buf && I < Length; ++I) Buf[I] = FsfLower(Buf[I]);
}
void WINAPI FsfStrupr(char16_t* Str) {
    for (; Str && *Str; ++Str) *Str = FsfUpper(*Str);
}
void WINAPI FsfStrlwr(char16_t* Str) {
    for (; Str && *Str; ++Str) *Str = FsfLower(*Str);
}

template <class Fn>
api3::UnusedFn Slot(Fn F) {
    return reinterpret_cast<api3::UnusedFn>(F);
}

}  // namespace

// ---- Text helpers -------------------------------------------------------------------

std::u16string Widen(std::string_view Bytes) {
    std::u16string Out;
    for (unsigned char B : Bytes) Out += static_cast<char16_t>(B);
    return Out;
}

std::string Narrow(std::u16string_view Units) {
    std::string Out;
    for (char16_t U : Units) {
        if (U <= 0xFF) {
            Out += static_cast<char>(U);
        } else {
            char Buf[16];
            std::snprintf(Buf, sizeof Buf, "\\u{%04X}", static_cast<unsigned>(U));
            Out += Buf;
        }
    }
    return Out;
}

std::u16string FromUtf8(std::string_view Utf8) {
    std::u16string Out;
    for (size_t I = 0; I < Utf8.size();) {
        const auto B = static_cast<unsigned char>(Utf8[I]);
        const int N = B < 0x80 ? 1 : B >= 0xF0 ? 4 : B >= 0xE0 ? 3 : B >= 0xC0 ? 2 : 1;
        char32_t C = N == 1 ? B : B & (0x7F >> N);
        for (int K = 1; K < N && I + K < Utf8.size(); ++K)
            C = (C << 6) | (static_cast<unsigned char>(Utf8[I + K]) & 0x3F);
        I += static_cast<size_t>(N);
        if (C >= 0x10000) {
            Out += static_cast<char16_t>(0xD800 + ((C - 0x10000) >> 10));
            Out += static_cast<char16_t>(0xDC00 + ((C - 0x10000) & 0x3FF));
        } else {
            Out += static_cast<char16_t>(C);
        }
    }
    return Out;
}

std::string ToUtf8(std::u16string_view Units) {
    std::string Out;
    for (size_t I = 0; I < Units.size(); ++I) {
        char32_t C = Units[I];
        const bool Pair = C >= 0xD800 && C < 0xDC00 && I + 1 < Units.size() &&
                          Units[I + 1] >= 0xDC00 && Units[I + 1] < 0xE000;
        if (Pair) {
            C = 0x10000 + ((C - 0xD800) << 10) + (Units[I + 1] - 0xDC00);
            ++I;
        } else if (C >= 0xD800 && C < 0xE000) {
            char Buf[16];
            std::snprintf(Buf, sizeof Buf, "\\u{%04X}", static_cast<unsigned>(C));
            Out += Buf;
            continue;
        }
        if (C < 0x80) {
            Out += static_cast<char>(C);
        } else if (C < 0x800) {
            Out += static_cast<char>(0xC0 | (C >> 6));
            Out += static_cast<char>(0x80 | (C & 0x3F));
        } else if (C < 0x10000) {
            Out += static_cast<char>(0xE0 | (C >> 12));
            Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
            Out += static_cast<char>(0x80 | (C & 0x3F));
        } else {
            Out += static_cast<char>(0xF0 | (C >> 18));
            Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
            Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
            Out += static_cast<char>(0x80 | (C & 0x3F));
        }
    }
    return Out;
}

std::string GuidText(const api3::Guid& Id) {
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(Id.Data1), Id.Data2, Id.Data3, Id.Data4[0], Id.Data4[1],
                  Id.Data4[2], Id.Data4[3], Id.Data4[4], Id.Data4[5], Id.Data4[6], Id.Data4[7]);
    return Buf;
}

bool SameGuid(const api3::Guid& A, const api3::Guid& B) {
    return std::memcmp(&A, &B, sizeof A) == 0;
}

// ---- Life ---------------------------------------------------------------------

Host::Host() : impl_(new Impl) {
    if (TheHost) std::fprintf(stderr, "host3: a second Host while one is alive\n");
    TheHost = this;
    impl_->Self = this;
    CloseKeys.push_back(VK_F10);
    impl_->FillStartup(impl_->Startup, impl_->Standard, 0);
}

Host::~Host() {
    while (!impl_->Windows.empty()) CloseWindow(impl_->Windows.back()->EditorID);
    UnloadPlugin();
    for (SavedScreen* S : impl_->Saved) delete S;
    for (SettingsHandle* S : impl_->Handles) delete S;
    delete impl_;
    if (TheHost == this) TheHost = nullptr;
}

Host* Host::Current() {
    return TheHost;
}

// ---- The module ---------------------------------------------------------------

std::string Host::DefaultPluginPath() {
#ifdef _WIN32
    return ExeFolder() + "\\host3\\Tarvik3.dll";
#else
    return ExeFolder() + "/host3/Tarvik3.so";
#endif
}

bool Host::LoadPlugin(const std::string& Path) {
    UnloadPlugin();
    LoadError.clear();
    Impl& I = *impl_;
    void* M = OpenModule(Path, LoadError);
    if (!M) return false;
    api3::TGetGlobalInfoW GetGlobalInfoW = nullptr;
    Bind(M, "GetGlobalInfoW", GetGlobalInfoW);
    if (!GetGlobalInfoW) {
        LoadError = Path + " has no GetGlobalInfoW";
        CloseModule(M);
        return false;
    }
    api3::GlobalInfo Gi;
    std::memset(&Gi, 0, sizeof Gi);
    Gi.StructSize = sizeof Gi;
    GetGlobalInfoW(&Gi);
    LoadError = Refusal(Gi);
    if (!LoadError.empty()) {
        CloseModule(M);
        return false;
    }
    I.Module = M;
    I.ModulePath = Path;
    I.ModuleName = FromUtf8(Path);
    I.GetGlobalInfoW = GetGlobalInfoW;
    Bind(M, "SetStartupInfoW", I.SetStartupInfoW);
    Bind(M, "GetPluginInfoW", I.GetPluginInfoW);
    Bind(M, "OpenW", I.OpenW);
    Bind(M, "ProcessEditorInputW", I.ProcessEditorInputW);
    Bind(M, "ProcessEditorEventW", I.ProcessEditorEventW);
    Bind(M, "ExitFARW", I.ExitFARW);
    I.Identity = {Gi.Id,
                  Gi.MinHostVersion,
                  Gi.Version,
                  Copied(Gi.Title),
                  Copied(Gi.Description),
                  Copied(Gi.Author)};
    I.Known = true;
    I.LanguageRead = false;
    I.FillStartup(I.Startup, I.Standard, 0);
    return true;
}

void Host::UnloadPlugin() {
    Impl& I = *impl_;
    if (!I.Module) return;
    if (I.Started && I.ExitFARW) {
        api3::ExitInfo Ei{sizeof(api3::ExitInfo), nullptr};
        I.ExitFARW(&Ei);
    }
    // What a handle held and was never freed is not committed, as in the real host.
    if (!I.Handles.empty()) {
        I.Misuse("SettingsControl: " + std::to_string(I.Handles.size()) + " handle(s) never freed");
        for (SettingsHandle* S : I.Handles) delete S;
        I.Handles.clear();
    }
    CloseModule(I.Module);
    I.Module = nullptr;
    I.GetGlobalInfoW = nullptr;
    I.SetStartupInfoW = nullptr;
    I.GetPluginInfoW = nullptr;
    I.OpenW = nullptr;
    I.ProcessEditorInputW = nullptr;
    I.ProcessEditorEventW = nullptr;
    I.ExitFARW = nullptr;
    I.Started = false;
    I.Known = false;
}

bool Host::PluginLoaded() const {
    return impl_->Module != nullptr;
}

bool Host::PluginStarted() const {
    return impl_->Started;
}

const PluginIdentity& Host::Identity() const {
    return impl_->Identity;
}

void Host::AssumePlugin(const api3::Guid& Id, const std::string& ModulePath) {
    impl_->Identity = PluginIdentity();
    impl_->Identity.Id = Id;
    impl_->Known = true;
    impl_->ModulePath = ModulePath;
    impl_->ModuleName = FromUtf8(ModulePath);
    impl_->LanguageRead = false;
    impl_->FillStartup(impl_->Startup, impl_->Standard, 0);
}

void* Host::Export(const char* Name) const {
    return impl_->Module ? FindExport(impl_->Module, Name) : nullptr;
}

void Host::Impl::FillStartup(api3::PluginStartupInfo& Psi, api3::StandardFunctions& Fsf,
                             size_t StructSize) {
    std::memset(&Fsf, 0, sizeof Fsf);
    Fsf.StructSize = sizeof Fsf;
    for (api3::UnusedFn& S : Fsf.Slots) S = SvcUnused;
    // Slot n of the table is Slots[n - 1].
    const api3::UnusedFn Case[] = {Slot(FsfIsLower),    Slot(FsfIsUpper),  Slot(FsfIsAlpha),
                                   Slot(FsfIsAlphanum), Slot(FsfUpper),    Slot(FsfLower),
                                   Slot(FsfUpperBuf),   Slot(FsfLowerBuf), Slot(FsfStrupr),
                                   Slot(FsfStrlwr)};
    std::copy(std::begin(Case), std::end(Case), Fsf.Slots + 9);

    std::memset(&Psi, 0, sizeof Psi);
    Psi.StructSize = StructSize ? StructSize : sizeof Psi;
    Psi.ModuleName = ModuleName.c_str();
    for (api3::UnusedFn* S : {&Psi.Menu,
                              &Psi.PanelControl,
                              &Psi.GetDirList,
                              &Psi.GetPluginDirList,
                              &Psi.FreeDirList,
                              &Psi.FreePluginDirList,
                              &Psi.Viewer,
                              &Psi.Editor,
                              &Psi.ShowHelp,
                              &Psi.InputBox,
                              &Psi.ColorDialog,
                              &Psi.DialogInit,
                              &Psi.DialogRun,
                              &Psi.DialogFree,
                              &Psi.SendDlgMessage,
                              &Psi.DefDlgProc,
                              &Psi.ViewerControl,
                              &Psi.PluginsControl,
                              &Psi.FileFilterControl,
                              &Psi.RegExpControl,
                              &Psi.MacroControl})
        *S = SvcUnused;
    Psi.Message = SvcMessage;
    Psi.GetMsg = SvcGetMsg;
    Psi.SaveScreen = SvcSaveScreen;
    Psi.RestoreScreen = SvcRestoreScreen;
    Psi.Text = SvcText;
    Psi.EditorControl = SvcEditorControl;
    Psi.FSF = &Fsf;
    Psi.AdvControl = SvcAdvControl;
    Psi.SettingsControl = SvcSettingsControl;
    Psi.FreeScreen = reinterpret_cast<api3::UnusedFn>(SvcFreeScreen);
}

void Host::StartPlugin(size_t StructSize) {
    Impl& I = *impl_;
    DrawKeyBar();
    if (!I.SetStartupInfoW) return;
    CallStartup(I, StructSize);
    I.Started = true;
    GetPluginInfo();  // the real host asks at once
}

const api3::PluginStartupInfo& Host::Services() const {
    return impl_->Startup;
}

bool Host::Impl::SizeOk(size_t Given, size_t Own, const char* What) {
    if (Given >= Own && Given <= 65536) return true;
    Misuse(std::string(What) + ": StructSize " + std::to_string(Given));
    return false;
}

bool Host::Impl::IsPlugin(const api3::Guid* Id) const {
    return Id && Known && SameGuid(*Id, Identity.Id);
}

// ---- Entry points -------------------------------------------------------------

api3::PluginInfo Host::GetPluginInfo() {
    api3::PluginInfo Pi;
    std::memset(&Pi, 0, sizeof Pi);
    Pi.StructSize = sizeof Pi;
    if (impl_->GetPluginInfoW) impl_->GetPluginInfoW(&Pi);
    return Pi;
}

std::vector<std::u16string> Host::MenuItems() {
    const api3::PluginInfo Pi = GetPluginInfo();
    std::vector<std::u16string> Items;
    if (!Pi.PluginMenu.Strings) return Items;
    for (size_t N = 0; N < Pi.PluginMenu.Count; ++N)
        Items.push_back(Pi.PluginMenu.Strings[N] ? Pi.PluginMenu.Strings[N] : u"<null>");
    return Items;
}

HANDLE Host::Open(size_t Item) {
    if (!impl_->OpenW) return nullptr;
    const api3::PluginInfo Pi = GetPluginInfo();
    const api3::Guid* Id =
        Pi.PluginMenu.Guids && Item < Pi.PluginMenu.Count ? &Pi.PluginMenu.Guids[Item] : nullptr;
    api3::OpenInfo Oi{sizeof(api3::OpenInfo), api3::OPEN_EDITOR, Id, 0, nullptr};
    return impl_->OpenW(&Oi);
}

intptr_t Host::EditorEvent(intptr_t Event, void* Param, int EditorID) {
    if (!impl_->ProcessEditorEventW) return 0;
    api3::ProcessEditorEventInfo Info{sizeof(api3::ProcessEditorEventInfo), Event, Param,
                                      EditorID ? EditorID : impl_->Current, nullptr};
    return impl_->ProcessEditorEventW(&Info);
}

intptr_t Host::ProcessEditorInput(const INPUT_RECORD& Rec) {
    return impl_->PluginInput(Rec);
}

// ---- Windows ------------------------------------------------------------------

Window* Host::Impl::Find(int EditorID) const {
    for (const auto& W : Windows)
        if (W->EditorID == EditorID) return W.get();
    return nullptr;
}

Window* Host::Impl::Target(intptr_t EditorID) const {
    if (NoCurrentEditor) return nullptr;
    if (EditorID == -1) return Find(Current);
    return EditorID > 0 && EditorID <= INT_MAX ? Find(static_cast<int>(EditorID)) : nullptr;
}

int Host::OpenWindow(const std::u16string& FileName, const std::u16string& Text, bool SendRead) {
    Impl& I = *impl_;
    auto W = std::make_unique<Window>();
    W->EditorID = I.NextEditorId++;
    W->FileName = FileName;
    W->Lines = host::SplitText(Text);
    W->DefaultEol = NewFileEol;
    for (const Line& L : W->Lines)
        if (!L.Eol.empty()) {
            W->DefaultEol = L.Eol;
            break;
        }
    if (I.ExpandTabs == host::ExpandMode::AllTabs) host::ExpandAllTabs(*W);
    const int Id = W->EditorID;
    const int Before = I.Find(I.Current) ? I.Current : 0;
    I.Windows.push_back(std::move(W));
    I.Current = Id;
    I.PanelsActive = false;
    if (!SendRead) return Id;
    if (Before) EditorEvent(api3::EE_KILLFOCUS, nullptr, Before);
    EditorEvent(api3::EE_READ, nullptr, Id);
    if (HasWindow(Id)) EditorEvent(api3::EE_GOTFOCUS, nullptr, Id);
    return Id;
}

void Host::CloseWindow(int EditorID) {
    Impl& I = *impl_;
    if (!I.Find(EditorID) || I.Closing == EditorID) return;
    // The window still exists while the plug-in hears of its closing; the commands that
    // need a live window fail meanwhile.
    const int Outer = I.Closing;
    I.Closing = EditorID;
    EditorEvent(api3::EE_CLOSE, nullptr, EditorID);
    I.Closing = Outer;
    auto It = std::find_if(I.Windows.begin(), I.Windows.end(),
                           [&](const auto& W) { return W->EditorID == EditorID; });
    if (It == I.Windows.end()) return;
    I.Windows.erase(It);
    I.RetireLineCopies();
    if (I.Current == EditorID) I.Current = I.Windows.empty() ? 0 : I.Windows.back()->EditorID;
}

void Host::SwitchTo(int EditorID) {
    Impl& I = *impl_;
    if (!I.Find(EditorID)) return;
    const int Before = I.Current;
    I.Current = EditorID;
    I.PanelsActive = false;
    if (Before == EditorID) return;
    if (I.Find(Before)) EditorEvent(api3::EE_KILLFOCUS, nullptr, Before);
    EditorEvent(api3::EE_GOTFOCUS, nullptr, EditorID);
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

std::u16string Host::Text() const {
    std::u16string Out;
    if (Window* W = impl_->Find(impl_->Current))
        for (const Line& L : W->Lines) Out += L.Text + L.Eol;
    return Out;
}

void Host::SetNoCurrentEditor(bool None) {
    impl_->NoCurrentEditor = None;
}

void Host::SetPanelsActive(bool Active) {
    impl_->PanelsActive = Active;
}

void Host::SetExpandTabs(host::ExpandMode Mode) {
    impl_->ExpandTabs = Mode;
    if (Mode != host::ExpandMode::AllTabs) return;
    for (const auto& W : impl_->Windows) {
        host::Settle(*W);
        if (host::ExpandAllTabs(*W)) impl_->RetireLineCopies();
    }
}

host::ExpandMode Host::ExpandTabs() const {
    return impl_->ExpandTabs;
}

// ---- Cursor and selection -----------------------------------------------------

void Host::SetCursor(int LineNo, int Pos) {
    Window& W = Win();
    W.CurLine = std::clamp(LineNo, 0, static_cast<int>(W.Lines.size()) - 1);
    W.CurPos = std::max(Pos, 0);
    host::KeepCursorVisible(W);
}

void Host::SelectStream(int StartLine, int StartPos, int Width, int Height) {
    if (Window* W = impl_->Find(impl_->Current)) {
        api3::EditorSelect Es{sizeof Es, api3::BTYPE_STREAM, StartLine, StartPos, Width, Height};
        impl_->EditorControl(*W, api3::ECTL_SELECT, 0, &Es);
    }
}

void Host::SelectColumn(int StartLine, int StartPos, int Width, int Height) {
    if (Window* W = impl_->Find(impl_->Current)) {
        api3::EditorSelect Es{sizeof Es, api3::BTYPE_COLUMN, StartLine, StartPos, Width, Height};
        impl_->EditorControl(*W, api3::ECTL_SELECT, 0, &Es);
    }
}

void Host::ClearSelection() {
    host::RemoveBlock(Win());
}

std::string Host::SelectionString() const {
    Window* W = impl_->Find(impl_->Current);
    return W ? host::SelectionSummary(*W) : "none";
}

bool Host::LineCopyLive(const char16_t* P) const {
    for (const auto& Entry : impl_->LineCopies)
        if (Entry.second.Units.get() == P) return true;
    for (const auto& Units : impl_->RetiredCopies)
        if (Units.get() == P) return true;
    return false;
}

// ---- AdvControl ---------------------------------------------------------------

intptr_t WINAPI SvcAdvControl(const api3::Guid* PluginId, uint32_t Command, intptr_t /*Param1*/,
                              void* Param2) {
    Host* H = Host::Current();
    if (!H) return 0;
    Host::Impl& I = *H->impl();
    if (I.Enter(Service::AdvControl)) return 0;
    if (!I.IsPlugin(PluginId)) I.Misuse("AdvControl: not the plug-in's GUID");
    switch (Command) {
        case api3::ACTL_GETWINDOWTYPE: {
            auto* Wt = static_cast<api3::WindowType*>(Param2);
            if (!Wt || !I.SizeOk(Wt->StructSize, sizeof *Wt, "ACTL_GETWINDOWTYPE")) return 0;
            const bool Panels = I.PanelsActive || !I.Cur();
            Wt->Type = Panels ? uint32_t{WTYPE_PANELS} : uint32_t{api3::WTYPE_EDITOR};
            return 1;
        }
        case ACTL_GETHOSTVERSION:
            if (!Param2) return 0;
            *static_cast<api3::VersionInfo*>(Param2) = kHostVersion;
            return 1;
        case ACTL_REDRAWALL:
            I.RetireLineCopies();
            return 1;
        default:
            I.Misuse("AdvControl: command " + std::to_string(Command) + " not modelled");
            return 0;
    }
}

// ---- Counting and faults ------------------------------------------------------

int Host::Calls(Service S) const {
    return impl_->Ledger.Calls(static_cast<int>(S));
}

int Host::EctlCalls(uint32_t Command) const {
    return impl_->Ledger.EctlCalls(static_cast<int>(Command));
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

void Host::FailCommand(uint32_t Command, bool Fail) {
    impl_->Ledger.FailCommand(static_cast<int>(Command), Fail);
}

void Host::FailService(Service S, bool Fail) {
    impl_->Ledger.FailKind(static_cast<int>(S), Fail);
}

void Host::ClearFaults() {
    impl_->Ledger.ClearFaults();
}

void WINAPI SvcUnused() {
    if (Host* H = Host::Current()) H->Misuses.push_back("an unused service slot was called");
}

}  // namespace host3
