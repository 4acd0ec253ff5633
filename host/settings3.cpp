// The generation-3 host's settings service: an in-memory store per host, one key per
// plug-in GUID and location (roaming or local), kept across reloads of the plug-in so
// that tests can see what it stored and seed values before it starts.
//
// As the real host: SCTL_CREATE needs the loaded plug-in's GUID (the all-zero GUID
// opens the host's own settings, read-only); root 0 is the plug-in's key; subkeys get
// root numbers of their own; strings and data SCTL_GET or SCTL_ENUM hand out live until
// the handle is freed; SCTL_FREE is when the values are committed.
// Choices where the real host is not pinned down:
// - A handle works on a copy of the key taken at SCTL_CREATE; SCTL_FREE writes the copy
//   back whole, so of two handles open at once the one freed last wins.
// - Names compare with case. SCTL_GET of a value stored with another type fails.
// - A handle never freed when the plug-in unloads is recorded as a misuse, and what it
//   held is lost.
#include <algorithm>

#include "host3_impl.h"

namespace host3 {

namespace {

std::string StoreKey(const api3::Guid& Id, bool Local) {
    return GuidText(Id) + (Local ? " local" : "");
}

SettingsKey* KeyAt(SettingsKey& Root, const std::vector<std::u16string>& Path) {
    SettingsKey* K = &Root;
    for (const std::u16string& Name : Path) {
        auto It = K->Keys.find(Name);
        if (It == K->Keys.end()) return nullptr;
        K = &It->second;
    }
    return K;
}

// The key a record's root number names in the handle's copy, or null (a misuse).
SettingsKey* RootKey(Host::Impl& I, SettingsHandle& S, size_t Root) {
    SettingsKey* K = Root < S.Roots.size() ? KeyAt(S.Work, S.Roots[Root]) : nullptr;
    if (!K) I.Misuse("SettingsControl: unknown root " + std::to_string(Root));
    return K;
}

intptr_t Create(Host::Impl& I, intptr_t Location, api3::SettingsCreate* Sc) {
    if (!Sc || !I.SizeOk(Sc->StructSize, sizeof *Sc, "SCTL_CREATE")) return 0;
    const bool HostOwn = SameGuid(Sc->Id, api3::Guid{});
    if (!HostOwn && !I.IsPlugin(&Sc->Id)) {
        I.Misuse("SCTL_CREATE: not the plug-in's GUID");
        return 0;
    }
    if (Location != api3::PSL_ROAMING && Location != api3::PSL_LOCAL) return 0;
    auto* S = new SettingsHandle;
    S->Id = Sc->Id;
    S->Local = Location == api3::PSL_LOCAL;
    S->ReadOnly = HostOwn;
    if (!HostOwn) S->Work = I.Store[StoreKey(S->Id, S->Local)];
    S->Roots.emplace_back();
    I.Handles.insert(S);
    Sc->Handle = S;
    return 1;
}

intptr_t Set(Host::Impl& I, SettingsHandle& S, const api3::SettingsItem* Item) {
    if (!Item || !I.SizeOk(Item->StructSize, sizeof *Item, "SCTL_SET")) return 0;
    SettingsKey* K = RootKey(I, S, Item->Root);
    if (!K || S.ReadOnly || !Item->Name) return 0;
    switch (Item->Type) {
        case api3::FST_QWORD:
            K->Values[Item->Name] = Item->Value.Number;
            return 1;
        case api3::FST_STRING:
            if (!Item->Value.String) return 0;
            K->Values[Item->Name] = std::u16string(Item->Value.String);
            return 1;
        case api3::FST_DATA: {
            if (!Item->Value.Data.Data && Item->Value.Data.Size) return 0;
            const auto* B = static_cast<const uint8_t*>(Item->Value.Data.Data);
            K->Values[Item->Name] = std::vector<uint8_t>(B, B + Item->Value.Data.Size);
            return 1;
        }
        default:
            return 0;
    }
}

intptr_t Get(Host::Impl& I, SettingsHandle& S, api3::SettingsItem* Item) {
    if (!Item || !I.SizeOk(Item->StructSize, sizeof *Item, "SCTL_GET")) return 0;
    SettingsKey* K = RootKey(I, S, Item->Root);
    if (!K || !Item->Name) return 0;
    auto It = K->Values.find(Item->Name);
    if (It == K->Values.end()) return 0;
    const SettingValue& V = It->second;
    if (Item->Type == api3::FST_QWORD && std::holds_alternative<uint64_t>(V)) {
        Item->Value.Number = std::get<uint64_t>(V);
    } else if (Item->Type == api3::FST_STRING && std::holds_alternative<std::u16string>(V)) {
        S.Strings.push_back(std::make_unique<std::u16string>(std::get<std::u16string>(V)));
        Item->Value.String = S.Strings.back()->c_str();
    } else if (Item->Type == api3::FST_DATA && std::holds_alternative<std::vector<uint8_t>>(V)) {
        S.Blobs.push_back(std::get<std::vector<uint8_t>>(V));
        Item->Value.Data.Size = S.Blobs.back().size();
        Item->Value.Data.Data = S.Blobs.back().data();
    } else {
        return 0;
    }
    return 1;
}

uint32_t TypeOf(const SettingValue& V) {
    if (std::holds_alternative<uint64_t>(V)) return api3::FST_QWORD;
    return std::holds_alternative<std::u16string>(V) ? api3::FST_STRING : api3::FST_DATA;
}

intptr_t Enum(Host::Impl& I, SettingsHandle& S, SettingsEnum* E) {
    if (!E || !I.SizeOk(E->StructSize, sizeof *E, "SCTL_ENUM")) return 0;
    SettingsKey* K = RootKey(I, S, E->Root);
    if (!K) return 0;
    std::vector<SettingsName> List;
    auto Name = [&](const std::u16string& N) {
        S.Strings.push_back(std::make_unique<std::u16string>(N));
        return S.Strings.back()->c_str();
    };
    for (const auto& [N, Sub] : K->Keys) List.push_back({Name(N), api3::FST_SUBKEY});
    for (const auto& [N, V] : K->Values) List.push_back({Name(N), TypeOf(V)});
    S.Lists.push_back(std::move(List));
    E->Count = S.Lists.back().size();
    E->Items = S.Lists.back().data();
    return 1;
}

intptr_t Delete(Host::Impl& I, SettingsHandle& S, const api3::SettingsValue* V) {
    if (!V || !I.SizeOk(V->StructSize, sizeof *V, "SCTL_DELETE")) return 0;
    SettingsKey* K = RootKey(I, S, V->Root);
    if (!K || S.ReadOnly) return 0;
    if (V->Value) return K->Values.erase(V->Value) + K->Keys.erase(V->Value) > 0 ? 1 : 0;
    const std::vector<std::u16string>& Path = S.Roots[V->Root];
    if (Path.empty()) {
        *K = SettingsKey();
        return 1;
    }
    std::vector<std::u16string> Parent(Path.begin(), Path.end() - 1);
    return KeyAt(S.Work, Parent)->Keys.erase(Path.back()) > 0 ? 1 : 0;
}

// SCTL_CREATESUBKEY and SCTL_OPENSUBKEY: the subkey's root number, 0 on failure.
intptr_t Subkey(Host::Impl& I, SettingsHandle& S, const api3::SettingsValue* V, bool Make) {
    if (!V || !I.SizeOk(V->StructSize, sizeof *V, Make ? "SCTL_CREATESUBKEY" : "SCTL_OPENSUBKEY"))
        return 0;
    SettingsKey* K = RootKey(I, S, V->Root);
    if (!K || !V->Value || !*V->Value ||
        std::u16string_view(V->Value).find(u'\\') != std::u16string_view::npos)
        return 0;
    if (!K->Keys.count(V->Value)) {
        if (!Make || S.ReadOnly) return 0;
        K->Keys[V->Value];
    }
    std::vector<std::u16string> Path = S.Roots[V->Root];
    Path.emplace_back(V->Value);
    auto It = std::find(S.Roots.begin(), S.Roots.end(), Path);
    if (It == S.Roots.end()) It = S.Roots.insert(S.Roots.end(), Path);
    return It - S.Roots.begin();
}

}  // namespace

intptr_t WINAPI SvcSettingsControl(HANDLE Settings, uint32_t Command, intptr_t Param1,
                                   void* Param2) {
    Host* H = Host::Current();
    if (!H) return 0;
    Host::Impl& I = *H->impl();
    if (I.Enter(Service::SettingsControl, static_cast<int>(Command))) return 0;
    if (Command == api3::SCTL_CREATE)
        return Create(I, Param1, static_cast<api3::SettingsCreate*>(Param2));
    auto It = I.Handles.find(static_cast<SettingsHandle*>(Settings));
    if (It == I.Handles.end()) {
        I.Misuse("SettingsControl: unknown handle");
        return 0;
    }
    SettingsHandle& S = **It;
    switch (Command) {
        case api3::SCTL_FREE:
            if (!S.ReadOnly) I.Store[StoreKey(S.Id, S.Local)] = S.Work;
            delete *It;
            I.Handles.erase(It);
            return 1;
        case api3::SCTL_SET:
            return Set(I, S, static_cast<const api3::SettingsItem*>(Param2));
        case api3::SCTL_GET:
            return Get(I, S, static_cast<api3::SettingsItem*>(Param2));
        case SCTL_ENUM:
            return Enum(I, S, static_cast<SettingsEnum*>(Param2));
        case SCTL_DELETE:
            return Delete(I, S, static_cast<const api3::SettingsValue*>(Param2));
        case api3::SCTL_CREATESUBKEY:
        case api3::SCTL_OPENSUBKEY:
            return Subkey(I, S, static_cast<const api3::SettingsValue*>(Param2),
                          Command == api3::SCTL_CREATESUBKEY);
        default:
            I.Misuse("SettingsControl: command " + std::to_string(Command) + " not modelled");
            return 0;
    }
}

SettingsKey& Host::Settings() {
    return impl_->Store[StoreKey(impl_->Identity.Id, false)];
}

SettingsKey& Host::Settings(const api3::Guid& Id, bool Local) {
    return impl_->Store[StoreKey(Id, Local)];
}

int Host::OpenSettings() const {
    return static_cast<int>(impl_->Handles.size());
}

}  // namespace host3
