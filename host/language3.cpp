// The generation-3 host's language files and GetMsg.
//
// As the real host: every *.lng file in the module's folder is read; the one whose
// ".Language=" name is the host's language is taken, else the English one, else the
// last one found. A byte-order mark decides the encoding (UTF-8, UTF-16LE, UTF-16BE);
// without one the text is UTF-8 as long as it stays valid and the OEM code page from
// the first invalid sequence on. Lines are trimmed of blanks; header lines end at the
// first line starting with a quote; each such line is the next message, its text up
// to the line's closing quote (or to its end when it does not end with one), with the
// escapes \\ \" \n \r \t \b and a doubled quote read as the character they stand for.
// The file is read at the plug-in's first GetMsg and kept until the language changes.
// Choices where the real host is not pinned down:
// - Files are taken in the order of their names; names are compared without case.
// - A message number past the end gives "" and is recorded as a misuse (the real host
//   shows an error box as well).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host3_impl.h"

namespace host3 {

namespace {

// The code point of the UTF-8 sequence at I and its length, or false when the bytes
// there are no valid sequence (overlong forms and surrogates included).
bool Utf8At(const std::string& B, size_t I, char32_t& C, size_t& Length) {
    const auto Lead = static_cast<unsigned char>(B[I]);
    if (Lead < 0x80) {
        C = Lead;
        Length = 1;
        return true;
    }
    Length = Lead >= 0xF0 && Lead <= 0xF4 ? 4 : Lead >= 0xE0 ? 3 : Lead >= 0xC2 ? 2 : 0;
    if (Length == 0 || Lead >= 0xF5 || I + Length > B.size()) return false;
    C = Lead & (0x7F >> Length);
    for (size_t K = 1; K < Length; ++K) {
        const auto Next = static_cast<unsigned char>(B[I + K]);
        if ((Next & 0xC0) != 0x80) return false;
        C = (C << 6) | (Next & 0x3F);
    }
    const char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    return C >= Least[Length] && C <= 0x10FFFF && (C < 0xD800 || C > 0xDFFF);
}

void Append(std::u16string& Out, char32_t C) {
    if (C >= 0x10000) {
        Out += static_cast<char16_t>(0xD800 + ((C - 0x10000) >> 10));
        Out += static_cast<char16_t>(0xDC00 + ((C - 0x10000) & 0x3FF));
    } else {
        Out += static_cast<char16_t>(C);
    }
}

std::u16string FromOem(const std::string& Bytes) {
    if (Bytes.empty()) return std::u16string();
    std::vector<WCHAR> Wide(Bytes.size());
    const int N = MultiByteToWideChar(CP_OEMCP, 0, Bytes.data(), static_cast<int>(Bytes.size()),
                                      Wide.data(), static_cast<int>(Wide.size()));
    return std::u16string(Wide.begin(), Wide.begin() + std::max(N, 0));
}

std::u16string FromUtf16(const std::string& Bytes, size_t From, bool BigEndian) {
    std::u16string Out;
    for (size_t I = From; I + 1 < Bytes.size(); I += 2) {
        const auto A = static_cast<unsigned char>(Bytes[I]);
        const auto B = static_cast<unsigned char>(Bytes[I + 1]);
        Out += static_cast<char16_t>(BigEndian ? (A << 8 | B) : (B << 8 | A));
    }
    return Out;
}

std::u16string Decode(const std::string& Bytes) {
    if (Bytes.compare(0, 2, "\xFF\xFE") == 0) return FromUtf16(Bytes, 2, false);
    if (Bytes.compare(0, 2, "\xFE\xFF") == 0) return FromUtf16(Bytes, 2, true);
    const bool Bom = Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::u16string Out;
    for (size_t I = Bom ? 3 : 0; I < Bytes.size();) {
        char32_t C = 0;
        size_t Length = 0;
        if (Utf8At(Bytes, I, C, Length)) {
            Append(Out, C);
            I += Length;
        } else if (Bom) {
            Out += u'\uFFFD';
            ++I;
        } else {
            return Out + FromOem(Bytes.substr(I));
        }
    }
    return Out;
}

std::u16string Trimmed(const std::u16string& S) {
    const size_t B = S.find_first_not_of(u" \t");
    if (B == std::u16string::npos) return std::u16string();
    return S.substr(B, S.find_last_not_of(u" \t") - B + 1);
}

std::u16string Unescaped(const std::u16string& S) {
    std::u16string Out;
    for (size_t I = 0; I < S.size(); ++I) {
        const char16_t C = S[I];
        const char16_t Next = I + 1 < S.size() ? S[I + 1] : 0;
        const std::u16string_view From = u"\\\"nrtb", To = u"\\\"\n\r\t\b";
        const size_t K = From.find(Next);
        if (C == '\\' && Next && K != std::u16string_view::npos) {
            Out += To[K];
            ++I;
        } else if (C == '"' && Next == '"') {
            Out += u'"';
            ++I;
        } else {
            Out += C;
        }
    }
    return Out;
}

bool SameName(const std::u16string& A, const std::u16string& B) {
    auto Lower = [](char16_t C) {
        return C >= 'A' && C <= 'Z' ? static_cast<char16_t>(C + 32) : C;
    };
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(),
                      [&](char16_t X, char16_t Y) { return Lower(X) == Lower(Y); });
}

}  // namespace

LanguageFile ReadLanguageFile(const std::string& Bytes) {
    LanguageFile File;
    const std::u16string Text = Decode(Bytes);
    bool InHeader = true;
    for (size_t B = 0; B < Text.size();) {
        const size_t E = std::min(Text.find(u'\n', B), Text.size());
        std::u16string Line = Trimmed(Text.substr(B, E - B));
        B = E + 1;
        if (!Line.empty() && Line.back() == '\r') Line = Trimmed(Line.substr(0, Line.size() - 1));
        if (Line.empty() || Line[0] != '"') {
            const std::u16string Key = u".Language=";
            if (InHeader && Line.compare(0, Key.size(), Key) == 0)
                File.Name = Trimmed(Line.substr(Key.size(), Line.find(u',') - Key.size()));
            continue;
        }
        InHeader = false;
        const bool Closed = Line.size() >= 2 && Line.back() == '"';
        File.Messages.push_back(Unescaped(Line.substr(1, Line.size() - (Closed ? 2 : 1))));
    }
    return File;
}

void Host::Impl::ReadLanguage() {
    namespace fs = std::filesystem;
    LanguageRead = true;
    Messages.clear();
    if (ModulePath.empty()) return;
    std::error_code Error;
    std::vector<fs::path> Paths;
    for (const fs::directory_entry& E :
         fs::directory_iterator(fs::path(ModulePath).parent_path(), Error)) {
        std::string Ext = E.path().extension().string();
        std::transform(Ext.begin(), Ext.end(), Ext.begin(),
                       [](char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; });
        if (Ext == ".lng") Paths.push_back(E.path());
    }
    std::sort(Paths.begin(), Paths.end());
    std::vector<LanguageFile> Files;
    for (const fs::path& P : Paths) {
        std::ifstream In(P, std::ios::binary);
        Files.push_back(ReadLanguageFile(
            std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>())));
    }
    if (Files.empty()) return;
    auto Named = [&](const std::u16string& Name) {
        return std::find_if(Files.begin(), Files.end(),
                            [&](const LanguageFile& F) { return SameName(F.Name, Name); });
    };
    auto It = Named(Language);
    if (It == Files.end()) It = Named(u"English");
    if (It == Files.end()) It = Files.end() - 1;
    Messages = It->Messages;
}

void Host::SetLanguage(const std::u16string& Name) {
    impl_->Language = Name;
    impl_->LanguageRead = false;
}

std::u16string Host::Msg(int Id) {
    if (!impl_->LanguageRead) impl_->ReadLanguage();
    const auto& M = impl_->Messages;
    return Id >= 0 && Id < static_cast<int>(M.size()) ? M[static_cast<size_t>(Id)] : u"";
}

const char16_t* WINAPI SvcGetMsg(const api3::Guid* PluginId, intptr_t MsgId) {
    Host* H = Host::Current();
    if (!H) return nullptr;
    Host::Impl& I = *H->impl();
    if (I.Enter(Service::GetMsg)) return nullptr;
    if (!I.IsPlugin(PluginId)) {
        I.Misuse("GetMsg: not the plug-in's GUID");
        return u"";
    }
    if (!I.LanguageRead) I.ReadLanguage();
    if (MsgId < 0 || MsgId >= static_cast<intptr_t>(I.Messages.size())) {
        I.Misuse("GetMsg: no message " + std::to_string(MsgId));
        return u"";
    }
    return I.Messages[static_cast<size_t>(MsgId)].c_str();
}

}  // namespace host3
