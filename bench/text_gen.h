// The generated texts of the benchmarks, shared by the native suite and the
// Windows timing program.
#pragma once

#include <string>

namespace bench {

// A deterministic text of Lines lines of words, Width bytes long on average, each
// line ending in "\r\n". No '_' occurs anywhere, so a pattern holding one never matches.
inline std::string MakeText(int Lines, int Width, unsigned Seed = 1) {
    static const char* const kWords[] = {
        "the",   "of",      "and",   "to",     "in",     "is",        "that",  "for",
        "it",    "as",      "with",  "was",    "on",     "be",        "by",    "this",
        "are",   "from",    "at",    "or",     "an",     "which",     "Then",  "There",
        "then",  "editor",  "line",  "search", "window", "block",     "begin", "end;",
        "var",   "Integer", "text",  "Result", "while",  "procedure", "if",    "repeat",
        "until", "Mode",    "TOTAL", "count",  "(x)",    "[i]",       ":=",    "0x1F",
    };
    const unsigned kCount = sizeof kWords / sizeof kWords[0];
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
            Out += kWords[(State >> 16) % kCount];
        }
        Out += "\r\n";
    }
    return Out;
}

}  // namespace bench
