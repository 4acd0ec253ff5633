#include "interactive/line_scan.h"

#include <cstddef>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define TARVIK_SSE2_SCAN 1
#endif

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

namespace {

// How common a byte is in text (English prose and program source, a rough count per
// thousand letters); a guess for other bytes. The vector filter tests the rarest
// pattern positions, so that it stops at as few places as it can.
int ByteWeight(unsigned char C) {
    static const unsigned char kSmall[26] = {82, 15, 28, 43, 127, 22, 20, 61, 70, 2,  8, 40, 24,
                                             67, 75, 19, 1,  60,  63, 91, 28, 10, 24, 2, 20, 1};
    if (C == ' ') return 255;
    if (C >= 'a' && C <= 'z') return kSmall[C - 'a'];
    if (C >= 'A' && C <= 'Z') return kSmall[C - 'A'] / 8 + 1;
    if (C >= '0' && C <= '9') return 10;
    if (C == '\t') return 40;
    if (C >= 0x80) return 20;
    if (C < 0x20 || C == 0x7F) return 1;
    return 8;
}

// Chooses the vector filter's positions: those that take at most two bytes, the rarest
// first; none when no position does.
void ChooseProbes(TScanPattern& Sp) {
    // For every upper case: how many bytes the table maps to it, and the first two.
    int count[256] = {};
    unsigned char firstTwo[256][2] = {};
    for (int t = 0; t < 256; ++t) {
        unsigned char u = Sp.Table[t];
        if (count[u] < 2) firstTwo[u][count[u]] = static_cast<unsigned char>(t);
        ++count[u];
    }
    int at[2] = {-1, -1};
    int weight[2] = {0, 0};
    unsigned char bytes[2][2] = {};
    // Pass 0 takes the rarest position (the last of equals), pass 1 the rarest other one
    // (the first of equals): a pattern of equally common bytes is tested at both ends.
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < Sp.N; ++k) {
            if (pass == 1 && k == at[0]) continue;
            const unsigned char* pair = Sp.Pairs + 2 * ptrdiff_t{k};
            unsigned char u = pair[0];
            unsigned char b[2] = {u, u};
            if (pair[1]) {
                if (count[u] > 2) continue;
                b[0] = firstTwo[u][0];
                b[1] = count[u] == 2 ? firstTwo[u][1] : b[0];
            }
            int w = ByteWeight(b[0]) + (b[1] != b[0] ? ByteWeight(b[1]) : 0);
            if (at[pass] >= 0 && (pass == 0 ? w > weight[0] : w >= weight[1])) continue;
            at[pass] = k;
            weight[pass] = w;
            memcpy(bytes[pass], b, 2);
        }
        if (at[pass] < 0) break;
    }
    if (at[0] < 0) return;
    Sp.Probes = at[1] < 0 ? 1 : 2;
    if (at[1] < 0) {
        at[1] = at[0];
        memcpy(bytes[1], bytes[0], 2);
    }
    for (int i = 0; i < 2; ++i) {
        Sp.ProbeAt[i] = at[i];
        memcpy(Sp.ProbeBytes[i], bytes[i], 2);
    }
}

}  // namespace

void PrepareScan(TScanPattern& Sp, const unsigned char* Pairs, int N, const unsigned char* Table,
                 bool Vector) {
    Sp.Pairs = Pairs;
    Sp.N = N;
    Sp.Table = Table;
    Sp.FirstCount = 0;
    Sp.Probes = 0;
    memset(Sp.FirstSet, 0, sizeof Sp.FirstSet);
    if (N == 0) return;
    for (int t = 0; t < 256; ++t) {
        unsigned char folded = Pairs[1] ? Table[t] : static_cast<unsigned char>(t);
        if (folded != Pairs[0]) continue;
        Sp.FirstSet[t] = 1;
        if (Sp.FirstCount < 2) Sp.First[Sp.FirstCount] = static_cast<unsigned char>(t);
        ++Sp.FirstCount;
    }
#ifdef TARVIK_SSE2_SCAN
    if (Vector) ChooseProbes(Sp);
#else
    (void)Vector;
#endif
}

// ---- Plain scan ----------------------------------------------------------------

namespace {

// Pairs From .. N-1 against Text[From] .. Text[N-1]. Two pairs per step.
bool PairsMatch(const TScanPattern& Sp, const unsigned char* Text, ptrdiff_t From) {
    const unsigned char* pairs = Sp.Pairs;
    const unsigned char* table = Sp.Table;
    ptrdiff_t k = From;
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

}  // namespace

// Column of the first hit in Line at or after First, or -1; without the vector filter.
int64_t FindInLinePlain(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                        int64_t First) {
    int64_t last = Length - Sp.N;
    if (last < First) return -1;
    if (Sp.N == 0) return First;
    const unsigned char* end = Line + last + 1;
    for (const unsigned char* p = Line + First; p < end; ++p) {
        p = NextCandidate(Sp, p, end);
        if (p == end) break;
        if (PairsMatch(Sp, p, 1)) return p - Line;
    }
    return -1;
}

// ---- Vector scan ---------------------------------------------------------------

#ifdef TARVIK_SSE2_SCAN
namespace {

// The 32-bit DLL is built for processors without SSE2 and checks for it at run time;
// the host may call in with the stack aligned to 4 bytes only.
#ifdef __i386__
#define TARVIK_SSE2_FUNCTION __attribute__((target("sse2"), force_align_arg_pointer))
#else
#define TARVIK_SSE2_FUNCTION
#endif

// Candidates First .. Last (at least 16 of them) in blocks of 16: a candidate stays when
// the line bytes under both probed pattern positions are among the bytes they take. Loads
// never reach past the line: the last block is moved back to end at Last, and byte
// ProbeAt + Last + 15 of a 16-byte block at Last - 15 is at most Length - 1.
TARVIK_SSE2_FUNCTION int64_t FindInLineSse2(const TScanPattern& Sp, const unsigned char* Line,
                                            ptrdiff_t First, ptrdiff_t Last) {
    const __m128i a0 = _mm_set1_epi8(static_cast<char>(Sp.ProbeBytes[0][0]));
    const __m128i b0 = _mm_set1_epi8(static_cast<char>(Sp.ProbeBytes[0][1]));
    const __m128i a1 = _mm_set1_epi8(static_cast<char>(Sp.ProbeBytes[1][0]));
    const __m128i b1 = _mm_set1_epi8(static_cast<char>(Sp.ProbeBytes[1][1]));
    const unsigned char* at0 = Line + Sp.ProbeAt[0];
    const unsigned char* at1 = Line + Sp.ProbeAt[1];
    const bool two = Sp.Probes == 2;
    for (ptrdiff_t p = First; p <= Last; p += 16) {
        // Candidates before this block's own ones were looked at by the block before.
        unsigned seen = 0;
        if (p > Last - 15) {
            seen = static_cast<unsigned>(p - (Last - 15));
            p = Last - 15;
        }
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at0 + p));
        __m128i m = _mm_or_si128(_mm_cmpeq_epi8(x, a0), _mm_cmpeq_epi8(x, b0));
        if (two) {
            __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at1 + p));
            m = _mm_and_si128(m, _mm_or_si128(_mm_cmpeq_epi8(y, a1), _mm_cmpeq_epi8(y, b1)));
        }
        unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(m)) >> seen << seen;
        while (bits) {
            ptrdiff_t column = p + __builtin_ctz(bits);
            if (PairsMatch(Sp, Line + column, 0)) return column;
            bits &= bits - 1;
        }
    }
    return -1;
}

}  // namespace
#endif

// Column of the first hit in Line at or after First, or -1.
int64_t FindInLine(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                   int64_t First) {
#ifdef TARVIK_SSE2_SCAN
    // Lines too short for one block of candidates take the plain scan.
    int64_t last = Length - Sp.N;
    if (Sp.Probes && last - First >= 15) {
        return FindInLineSse2(Sp, Line, static_cast<ptrdiff_t>(First),
                              static_cast<ptrdiff_t>(last));
    }
#endif
    return FindInLinePlain(Sp, Line, Length, First);
}

}  // namespace tarvik
