// The generated texts and the search patterns of the benchmarks, shared by the native
// suite and the Windows timing program.
#pragma once

#include <string>
#include <vector>

namespace bench {

// A deterministic text of Lines lines made of Words, Width bytes long on average, each
// line ending in "\r\n".
inline std::string MakeTextOf(const std::vector<std::string>& Words, int Lines, int Width,
                              unsigned Seed) {
    const unsigned Count = static_cast<unsigned>(Words.size());
    unsigned State = Seed * 2654435761u + 12345u;
    std::string Out;
    Out.reserve(static_cast<size_t>(Lines) * (static_cast<size_t>(Width) + 3));
    for (int L = 0; L < Lines; ++L) {
        const size_t Start = Out.size();
        // Lines end between Width - 8 and Width + 8 bytes: some variety, a steady mean.
        State = State * 1103515245u + 12345u;
        const size_t Target = static_cast<size_t>(Width) - 8 + (State >> 16) % 17;
        while (Out.size() - Start < Target) {
            if (Out.size() > Start) Out += ' ';
            State = State * 1103515245u + 12345u;
            Out += Words[(State >> 16) % Count];
        }
        Out += "\r\n";
    }
    return Out;
}

// English words and program tokens. No '_', 'q' or 'z' occurs anywhere; 'e' is the most
// common letter, then 't'.
inline std::string MakeText(int Lines, int Width, unsigned Seed = 1) {
    static const std::vector<std::string> kWords = {
        "the",   "of",      "and",   "to",     "in",     "is",        "that",  "for",
        "it",    "as",      "with",  "was",    "on",     "be",        "by",    "this",
        "are",   "from",    "at",    "or",     "an",     "which",     "Then",  "There",
        "then",  "editor",  "line",  "search", "window", "block",     "begin", "end;",
        "var",   "Integer", "text",  "Result", "while",  "procedure", "if",    "repeat",
        "until", "Mode",    "TOTAL", "count",  "(x)",    "[i]",       ":=",    "0x1F",
    };
    return MakeTextOf(kWords, Lines, Width, Seed);
}

// Code page 866 from UTF-8 Russian letters (and ASCII); nothing else is expected here.
inline std::string Oem866(const std::string& Utf8) {
    std::string Out;
    for (size_t I = 0; I < Utf8.size(); ++I) {
        const unsigned char C = static_cast<unsigned char>(Utf8[I]);
        if (C < 0x80 || I + 1 == Utf8.size()) {
            Out += static_cast<char>(C);
            continue;
        }
        const unsigned Cp = ((C & 0x1Fu) << 6) | (static_cast<unsigned char>(Utf8[++I]) & 0x3Fu);
        unsigned Oem = '?';
        if (Cp >= 0x410 && Cp < 0x440) Oem = 0x80 + (Cp - 0x410);  // A .. small pe
        if (Cp >= 0x440 && Cp < 0x450) Oem = 0xE0 + (Cp - 0x440);  // small er .. small ya
        if (Cp == 0x401) Oem = 0xF0;                               // capital yo
        if (Cp == 0x451) Oem = 0xF1;                               // small yo
        Out += static_cast<char>(Oem);
    }
    return Out;
}

// Code page 1251 from the Russian letters of code page 866 (and ASCII).
inline std::string Ansi1251(const std::string& Oem) {
    std::string Out = Oem;
    for (char& Ch : Out) {
        const unsigned char C = static_cast<unsigned char>(Ch);
        if (C >= 0x80 && C < 0xB0) Ch = static_cast<char>(C + 0x40);
        if (C >= 0xE0 && C < 0xF0) Ch = static_cast<char>(C + 0x10);
        if (C == 0xF0) Ch = static_cast<char>(0xA8);
        if (C == 0xF1) Ch = static_cast<char>(0xB8);
    }
    return Out;
}

// Russian words and program tokens, in code page 866, or 1251 when Ansi.
inline std::string MakeCyrillicText(int Lines, int Width, unsigned Seed, bool Ansi) {
    static const std::vector<std::string> kWords = [] {
        const char* const Utf8[] = {
            "и",      "в",         "не",    "на",       "что",    "с",     "как",      "по",
            "это",    "он",        "для",   "из",       "строка", "поиск", "окно",     "блок",
            "начало", "конец;",    "текст", "редактор", "файл",   "Если",  "Тогда",    "Пока",
            "Итог",   "Результат", "число", "повтор",   "до",     "цикл",  "описание", "значение",
            "ещё",    "Ёлка",      "объём", "ИТОГО",    "Режим",  "счёт",  "(x)",      "[i]",
            ":=",     "0x1F",      "когда", "все",      "она",    "так",   "его",      "переменная",
        };
        std::vector<std::string> Words;
        for (const char* W : Utf8) Words.push_back(Oem866(W));
        return Words;
    }();
    const std::string Text = MakeTextOf(kWords, Lines, Width, Seed);
    return Ansi ? Ansi1251(Text) : Text;
}

// The texts a search pattern is looked for in.
enum class Corpus { Latin, CyrillicOem, CyrillicAnsi };

// A search pattern of the benchmarks.
struct SearchPattern {
    std::string Tag;    // in benchmark names: letters, digits and '_'
    std::string Shown;  // in the table (UTF-8)
    std::string Oem;    // typed as OEM characters
    Corpus Text;
    bool Hits;  // found in the text: every hit is counted
};

inline const std::vector<SearchPattern>& SearchPatterns() {
    static const std::vector<SearchPattern> kPatterns = {
        {"q", "q", "q", Corpus::Latin, false},
        {"ei", "ei", "ei", Corpus::Latin, false},
        {"ent", "ent", "ent", Corpus::Latin, false},
        {"editors", "editors", "editors", Corpus::Latin, false},
        {"then_missing", "then_missing", "then_missing", Corpus::Latin, false},
        {"Then_Missing", "Then_Missing", "Then_Missing", Corpus::Latin, false},
        {"end_repeat_until", "end; repeat until", "end; repeat until", Corpus::Latin, true},
        {"cyr_oem", "строки (OEM)", Oem866("строки"), Corpus::CyrillicOem, false},
        {"cyr_ansi", "строки (ANSI)", Oem866("строки"), Corpus::CyrillicAnsi, false},
    };
    return kPatterns;
}

}  // namespace bench
