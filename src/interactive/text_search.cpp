#include "interactive/text_search.h"

#include <windows.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "commands/primitives.h"
#include "interactive/status_line.h"
#include "plugin/memory.h"

namespace tarvik {

// ---- Case tables -------------------------------------------------------------
// A byte maps to itself unless it is one of the small letters listed.

// Code page 866: Latin a-z, Cyrillic small letters and the four small letters of 0xF1..0xF7.
const unsigned char OemUpperTable[256] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0xF0, 0xF0, 0xF2, 0xF2, 0xF4, 0xF4, 0xF6, 0xF6, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
};

// Code page 1251, restricted to the letters that code page 866 also has.
const unsigned char AnsiUpperTable[256] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0xA0, 0xA1, 0xA1, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xA8, 0xB9, 0xAA, 0xBB, 0xBC, 0xBD, 0xBE, 0xAF,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
};

// ---- Pattern -----------------------------------------------------------------

// Replaces every character up to the terminating zero by its entry in Table.
void TranslateChars(char* Text, const unsigned char* Table) {
    for (unsigned char* p = reinterpret_cast<unsigned char*>(Text); *p; ++p) *p = Table[*p];
}

// Turns the N characters at the start of Buffer (room for 2N + 1 bytes) into (U, D) pairs
// and a closing zero.
void EncodeSearchPattern(unsigned char* Buffer, const unsigned char* Table, int N) {
    // Back to front: pair k lands on bytes 2k and 2k + 1, which hold characters already read.
    for (ptrdiff_t k = ptrdiff_t{N} - 1; k >= 0; --k) {
        unsigned char ch = Buffer[k];
        unsigned char upper = Table[ch];
        Buffer[2 * k] = upper;
        Buffer[2 * k + 1] = static_cast<unsigned char>(upper - ch);
    }
    if (N >= 0) Buffer[2 * ptrdiff_t{N}] = 0;
}

// Whether the zero-terminated pattern matches the text at Position, under the case rule.
bool PatternMatchesAt(const unsigned char* Pattern, const unsigned char* Position,
                      const unsigned char* Table) {
    for (;; Pattern += 4, Position += 2) {
        if (!Pattern[0]) return true;
        unsigned char t = Position[0];
        if (Pattern[1]) t = Table[t];
        if (t != Pattern[0]) return false;
        if (!Pattern[2]) return true;
        t = Position[1];
        if (Pattern[3]) t = Table[t];
        if (t != Pattern[2]) return false;
    }
}

namespace {

// The encoded pattern with its length, so that a pair whose upper-case byte is 0 (a host
// table may map a character to 0) does not end it early.
struct TScanPattern {
    const unsigned char* Pairs;   // N pairs (U, D)
    int N;                        // number of pairs
    const unsigned char* Table;   // upper-case table the pairs were built with
    unsigned char FirstSet[256];  // 1 for every line byte that matches pair 0
    int FirstCount;               // bytes in FirstSet
    unsigned char First[2];       // the first two of them
};

void PrepareScan(TScanPattern& Sp, const unsigned char* Pairs, int N, const unsigned char* Table) {
    Sp.Pairs = Pairs;
    Sp.N = N;
    Sp.Table = Table;
    Sp.FirstCount = 0;
    memset(Sp.FirstSet, 0, sizeof Sp.FirstSet);
    if (N == 0) return;
    for (int t = 0; t < 256; ++t) {
        unsigned char folded = Pairs[1] ? Table[t] : static_cast<unsigned char>(t);
        if (folded != Pairs[0]) continue;
        Sp.FirstSet[t] = 1;
        if (Sp.FirstCount < 2) Sp.First[Sp.FirstCount] = static_cast<unsigned char>(t);
        ++Sp.FirstCount;
    }
}

// Pairs 1 .. N-1 against Text[1] .. Text[N-1]; pair 0 is known to match. Two pairs per step.
bool RestMatches(const TScanPattern& Sp, const unsigned char* Text) {
    const unsigned char* pairs = Sp.Pairs;
    const unsigned char* table = Sp.Table;
    ptrdiff_t k = 1;
    for (; k + 1 < Sp.N; k += 2) {
        unsigned char a = Text[k];
        unsigned char b = Text[k + 1];
        if (pairs[2 * k + 1]) a = table[a];
        if (pairs[2 * k + 3]) b = table[b];
        if ((a ^ pairs[2 * k]) | (b ^ pairs[2 * k + 2])) return false;
    }
    if (k < Sp.N) {
        unsigned char a = Text[k];
        if (pairs[2 * k + 1]) a = table[a];
        if (a != pairs[2 * k]) return false;
    }
    return true;
}

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

// Nonzero when some byte of Word equals the byte repeated in Splat.
inline uint64_t HasByte(uint64_t Word, uint64_t Splat) {
    uint64_t x = Word ^ Splat;
    return (x - kOnes) & ~x & kHighs;
}

// The first byte in [P, End) that can start a hit, or End.
const unsigned char* NextCandidate(const TScanPattern& Sp, const unsigned char* P,
                                   const unsigned char* End) {
    if (Sp.FirstCount == 1) {
        const void* at = memchr(P, Sp.First[0], static_cast<size_t>(End - P));
        return at ? static_cast<const unsigned char*>(at) : End;
    }
    if (Sp.FirstCount == 2) {
        unsigned char c0 = Sp.First[0], c1 = Sp.First[1];
        uint64_t s0 = kOnes * c0, s1 = kOnes * c1;
        while (End - P >= 8) {
            uint64_t word;
            memcpy(&word, P, 8);
            if (HasByte(word, s0) | HasByte(word, s1)) break;
            P += 8;
        }
        for (; P < End; ++P) {
            if (*P == c0 || *P == c1) return P;
        }
        return End;
    }
    while (P < End && !Sp.FirstSet[*P]) ++P;
    return P;
}

// Column of the first hit in Line at or after First, or -1.
int64_t FindInLine(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                   int64_t First) {
    int64_t last = Length - Sp.N;
    if (last < First) return -1;
    if (Sp.N == 0) return First;
    const unsigned char* end = Line + last + 1;
    for (const unsigned char* p = Line + First; p < end; ++p) {
        p = NextCandidate(Sp, p, end);
        if (p == end) break;
        if (RestMatches(Sp, p)) return p - Line;
    }
    return -1;
}

// Copies Text into a fresh pattern buffer, brings it into the editor's code page and encodes
// it; Table receives the case table. Null when memory ran out.
unsigned char* BuildPattern(const EditorInfo& Ei, const char* Text, int N, CharTableSet& Set,
                            const unsigned char*& Table) {
    unsigned char* buffer = static_cast<unsigned char*>(AllocBytes(2 * static_cast<size_t>(N) + 1));
    if (!buffer) return nullptr;
    memcpy(buffer, Text, static_cast<size_t>(N));
    buffer[N] = 0;
    bool toOem = true;
    if (Ei.TableNum != -1) {
        // Identity tables, so that a host that cannot fill the set gives a plain exact search.
        for (int c = 0; c < 256; ++c) {
            Set.DecodeTable[c] = Set.EncodeTable[c] = Set.UpperTable[c] = Set.LowerTable[c] =
                static_cast<unsigned char>(c);
        }
        Set.TableName[0] = 0;
        if (CharTable) CharTable(Ei.TableNum, reinterpret_cast<char*>(&Set), sizeof Set);
        Table = Set.UpperTable;
    } else if (Ei.AnsiMode) {
        Table = AnsiUpperTable;
        toOem = false;
    } else {
        Table = OemUpperTable;
    }
    if (toOem && N > 0) {
        char* oem = ConvertToOem(Text);
        if (!oem) {
            FreeBytes(buffer);
            return nullptr;
        }
        memcpy(buffer, oem, static_cast<size_t>(N));
        FreeBytes(oem);
    }
    // Translate by count, not by strlen: a character may map to 0.
    if (Ei.TableNum != -1) {
        for (int k = 0; k < N; ++k) buffer[k] = Set.EncodeTable[buffer[k]];
    }
    EncodeSearchPattern(buffer, Table, N);
    return buffer;
}

// A poll is a console call, far dearer than scanning a line (under Wine a round trip to
// the server, about a thousand times the cost of a line): after the first line the
// keyboard is polled once per this many lines or bytes scanned, which still answers
// Esc within a few milliseconds.
constexpr int kLinesPerPoll = 2048;
constexpr int64_t kBytesPerPoll = 1 << 20;

// The line loop: the first hit at or after Start, up to the last line of the file.
bool ScanLines(const TGlobalVars* State, const EditorInfo& Ei, const TScanPattern& Sp,
               TCursorPos Start, TCursorPos& Hit) {
    int line = Start.Line < 0 ? 0 : Start.Line;
    int64_t first = Start.Pos < 0 ? 0 : Start.Pos;
    if (line >= Ei.TotalLines) return false;
    EditorSetPosition esp;
    esp.CurLine = line;
    esp.CurPos = 0;
    esp.CurTabPos = -1;
    esp.TopScreenLine = -1;
    esp.LeftPos = -1;
    esp.Overtype = -1;
    // The first poll comes after the first line: keys typed ahead of a scan that
    // leaves its line are taken at once, an Esc among them ends it at once.
    int linesSincePoll = kLinesPerPoll;
    int64_t bytesSincePoll = 0;
    for (;;) {
        esp.CurLine = line;
        if (!EditorControl(ECTL_SETPOSITION, &esp)) return false;
        EditorGetString egs;
        memset(&egs, 0, sizeof egs);
        egs.StringNumber = -1;
        if (!EditorControl(ECTL_GETSTRING, &egs) || !egs.StringText) return false;
        int64_t length = egs.StringLength < 0 ? 0 : egs.StringLength;
        int64_t column =
            FindInLine(Sp, reinterpret_cast<const unsigned char*>(egs.StringText), length, first);
        if (column >= 0) {
            Hit.Pos = static_cast<int>(column);
            Hit.Line = line;
            return true;
        }
        ++line;
        first = 0;
        if (line >= Ei.TotalLines) return false;
        bytesSincePoll += length;
        if (++linesSincePoll < kLinesPerPoll && bytesSincePoll < kBytesPerPoll) continue;
        linesSincePoll = 0;
        bytesSincePoll = 0;
        // The poll reads and drops waiting events: never while a replay is still arriving.
        if (!(State && State->PlaybackPending) && EscapePressed()) return false;
    }
}

}  // namespace

// ---- Search ------------------------------------------------------------------

// Reads every waiting console event up to the first Esc press; true when there was one.
bool EscapePressed() {
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(ConsoleInput, &count)) return false;
    for (DWORD i = 0; i < count; ++i) {
        INPUT_RECORD ir;
        DWORD read = 0;
        if (!ReadConsoleInputA(ConsoleInput, &ir, 1, &read) || read == 0) return false;
        if (ir.EventType == KEY_EVENT && ir.Event.KeyEvent.bKeyDown &&
            ir.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE) {
            return true;
        }
    }
    return false;
}

// The first occurrence of Text at or after Start, up to the end of the file; the cursor,
// the view and the screen are as before. Hit is written only when found.
bool FindText(TGlobalVars* State, const char* Text, TCursorPos Start, TCursorPos& Hit) {
    if (!EditorControl) return false;
    EditorInfo ei;
    memset(&ei, 0, sizeof ei);
    if (!EditorControl(ECTL_GETINFO, &ei)) return false;
    HANDLE screen = SaveScreen ? SaveScreen(0, 0, -1, -1) : nullptr;
    if (!Text) Text = "";
    ShowSearchingMessage(Text);

    bool found = false;
    TCursorPos hit = {0, 0};
    size_t length = strlen(Text);
    if (length <= INT_MAX / 2) {
        CharTableSet set;
        const unsigned char* table = OemUpperTable;
        int n = static_cast<int>(length);
        unsigned char* pattern = BuildPattern(ei, Text, n, set, table);
        if (pattern) {
            TScanPattern sp;
            PrepareScan(sp, pattern, n, table);
            found = ScanLines(State, ei, sp, Start, hit);
            FreeBytes(pattern);
        }
    }

    EditorSetPosition esp;
    esp.CurLine = ei.CurLine;
    esp.CurPos = ei.CurPos;
    esp.CurTabPos = -1;
    esp.TopScreenLine = ei.TopScreenLine;
    esp.LeftPos = ei.LeftPos;
    esp.Overtype = -1;
    EditorControl(ECTL_SETPOSITION, &esp);
    if (RestoreScreen) RestoreScreen(screen);
    if (found) Hit = hit;
    return found;
}

// FindText, then the cursor on the first character of the hit (nothing selected).
bool FindNext(TGlobalVars* State, const char* Text, TCursorPos Start) {
    TCursorPos hit;
    if (!FindText(State, Text, Start, hit)) return false;
    SetCursorPos(hit.Pos, hit.Line);
    return true;
}

}  // namespace tarvik
