#include "interactive/host170/line_scan.h"

#include <cstddef>
#include <cstring>
#include <utility>

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

// Chooses the vector filter's positions among those that take at most two bytes: the
// last one, then the rarest other; none when no position does. The last, because the
// incremental search looks for a text whose shorter form it has just found: the bytes
// before the last are the likeliest to be there.
void ChooseProbes(TScanPattern& Sp) {
    // For every upper case: how many bytes the table maps to it, and the first two.
    int count[256] = {};
    unsigned char firstTwo[256][2] = {};
    for (int t = 0; t < 256; ++t) {
        unsigned char u = Sp.Table[t];
        if (count[u] < 2) firstTwo[u][count[u]] = static_cast<unsigned char>(t);
        ++count[u];
    }
    // The bytes position K takes, when at most two.
    auto takes = [&](int K, unsigned char* B) {
        const unsigned char* pair = Sp.Pairs + 2 * ptrdiff_t{K};
        unsigned char u = pair[0];
        B[0] = B[1] = u;
        if (!pair[1]) return true;
        if (count[u] > 2) return false;
        B[0] = firstTwo[u][0];
        B[1] = count[u] == 2 ? firstTwo[u][1] : B[0];
        return true;
    };
    int at[2] = {-1, -1};
    unsigned char bytes[2][2] = {};
    // The last position that qualifies (the last one itself, mostly), then the rarest of
    // the others, the first of equals.
    for (int k = Sp.N - 1; k >= 0 && at[0] < 0; --k) {
        if (takes(k, bytes[0])) at[0] = k;
    }
    int weight = 0;
    for (int k = 0; k < at[0]; ++k) {
        unsigned char b[2];
        if (!takes(k, b)) continue;
        int w = ByteWeight(b[0]) + (b[1] != b[0] ? ByteWeight(b[1]) : 0);
        if (at[1] >= 0 && w >= weight) continue;
        at[1] = k;
        weight = w;
        memcpy(bytes[1], b, 2);
    }
    if (at[0] < 0) return;
    bool two = at[1] >= 0;
    if (!two) {
        at[1] = at[0];
        memcpy(bytes[1], bytes[0], 2);
    }
    // Two bytes that differ in more than one bit need two compares: such a probe goes second.
    auto isPair = [&](int I) {
        unsigned differ = bytes[I][0] ^ bytes[I][1];
        return (differ & (differ - 1)) != 0;
    };
    if (isPair(0) && !isPair(1)) {
        std::swap(at[0], at[1]);
        std::swap(bytes[0], bytes[1]);
    }
    Sp.Filter = FilterOn | (two ? FilterTwoProbes : 0) | (isPair(0) ? FilterPair0 : 0) |
                (isPair(1) ? FilterPair1 : 0);
    for (int i = 0; i < 2; ++i) {
        unsigned char differ = bytes[i][0] ^ bytes[i][1];
        Sp.ProbeAt[i] = at[i];
        memset(Sp.Splats[i][0], differ, 16);
        memset(Sp.Splats[i][1], bytes[i][0] | differ, 16);
        memset(Sp.Splats[i][2], bytes[i][0], 16);
        memset(Sp.Splats[i][3], bytes[i][1], 16);
    }
}

}  // namespace

void PrepareScan(TScanPattern& Sp, const unsigned char* Pairs, int N, const unsigned char* Table,
                 bool Vector) {
    Sp.Pairs = Pairs;
    Sp.N = N;
    Sp.Table = Table;
    Sp.FirstCount = 0;
    Sp.Filter = 0;
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
// the host may call in with the stack aligned to 4 bytes only. The filter's helpers are
// inlined whatever the file's optimisation level (the DLL is built for size, and there a
// call per block of candidates would leave the filter's constants on the stack). The
// kernels start on a cache line: where the linker puts them otherwise changes the speed
// of the tightest loop by a sixth from one build to the next.
#ifdef __i386__
#define TARVIK_SSE2_FUNCTION \
    __attribute__((target("sse2"), force_align_arg_pointer, noinline, aligned(64)))
#define TARVIK_SSE2_INLINE __attribute__((target("sse2"), always_inline)) inline
#else
#define TARVIK_SSE2_FUNCTION __attribute__((noinline, aligned(64)))
#define TARVIK_SSE2_INLINE __attribute__((always_inline)) inline
#endif

// The filter over the candidates of one line. A candidate passes when the line bytes
// under each probed position are among those it takes.
template <bool kTwo, bool kPair0, bool kPair1>
struct TFilter {
    const unsigned char* At0;  // the line under the first probe
    const unsigned char* At1;  // and the second
    __m128i Or0, Is0, B00, B01, Or1, Is1, B10, B11;

    TARVIK_SSE2_INLINE TFilter(const TScanPattern& Sp, const unsigned char* Line)
        : At0(Line + Sp.ProbeAt[0]),
          At1(Line + Sp.ProbeAt[1]),
          Or0(Splat(Sp, 0, 0)),
          Is0(Splat(Sp, 0, 1)),
          B00(Splat(Sp, 0, 2)),
          B01(Splat(Sp, 0, 3)),
          Or1(Splat(Sp, 1, 0)),
          Is1(Splat(Sp, 1, 1)),
          B10(Splat(Sp, 1, 2)),
          B11(Splat(Sp, 1, 3)) {}

    TARVIK_SSE2_INLINE static __m128i Splat(const TScanPattern& Sp, int I, int K) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(Sp.Splats[I][K]));
    }

    // Bytes of X that a probe takes: (x | Or) == Is, or for a pair x == B0 or x == B1.
    TARVIK_SSE2_INLINE static __m128i Takes(__m128i X, __m128i Or, __m128i Is, __m128i B0,
                                            __m128i B1, bool Pair) {
        if (Pair) return _mm_or_si128(_mm_cmpeq_epi8(X, B0), _mm_cmpeq_epi8(X, B1));
        return _mm_cmpeq_epi8(_mm_or_si128(X, Or), Is);
    }

    // The 16 candidates from P on, a byte of ones for each that passes.
    TARVIK_SSE2_INLINE __m128i Pass16(ptrdiff_t P) const {
        __m128i m = Takes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(At0 + P)), Or0, Is0, B00,
                          B01, kPair0);
        if (kTwo) {
            m = _mm_and_si128(m, Takes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(At1 + P)),
                                       Or1, Is1, B10, B11, kPair1));
        }
        return m;
    }

    TARVIK_SSE2_INLINE static uint64_t Bits16(__m128i M) {
        return static_cast<unsigned>(_mm_movemask_epi8(M));
    }

    // Candidates in four blocks of 16 from A, B, C and D on, as bits from A on; zero at
    // once when none passes.
    TARVIK_SSE2_INLINE uint64_t Bits64(ptrdiff_t A, ptrdiff_t B, ptrdiff_t C, ptrdiff_t D) const {
        __m128i a = Pass16(A), b = Pass16(B), c = Pass16(C), d = Pass16(D);
        if (!_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d)))) return 0;
        return Bits16(a) | Bits16(b) << (B - A) | Bits16(c) << (C - A) | Bits16(d) << (D - A);
    }

    // From candidate Next on (up to Last, at least 16 candidates after the scan's first),
    // the next candidates that pass: Bits, bit k for candidate Base + k; Next moves past
    // them. False when none is left. 64 per step, then the 1 to 63 left in one step, its
    // last block moved back to end at Last and the candidates before Next masked off. No
    // load reaches past the line: a block of candidates ending at Last loads bytes up to
    // ProbeAt + Last, and ProbeAt + Last = ProbeAt + Length - N is at most Length - 1.
    TARVIK_SSE2_INLINE bool Advance(ptrdiff_t Last, ptrdiff_t& Next, ptrdiff_t& Base,
                                    uint64_t& Bits) const {
        ptrdiff_t p = Next;
        for (; p + 63 <= Last; p += 64) {
            Bits = Bits64(p, p + 16, p + 32, p + 48);
            if (Bits) {
                Base = p;
                Next = p + 64;
                return true;
            }
        }
        if (p > Last) return false;
        ptrdiff_t rest = Last - p + 1;
        if (rest > 32) {
            Bits = Bits64(p, p + 16, Last - 31, Last - 15);
        } else if (rest > 16) {
            Bits = Bits16(Pass16(p)) | Bits16(Pass16(Last - 15)) << (Last - 15 - p);
        } else {
            Bits = Bits16(Pass16(Last - 15)) >> (p - (Last - 15));
        }
        Base = p;
        Next = Last + 1;
        return Bits != 0;
    }
};

// The scan once candidates passed the filter (Bits, from candidate Base on, the filter
// to go on at Next): each is compared in full, and the filter goes on until one matches.
// Kept apart, so that the scan of a line where none passes makes no call and has no
// registers to save; one for every kind of filter, since the pair test takes any probe's
// bytes.
TARVIK_SSE2_FUNCTION int64_t VerifySse2(const TScanPattern& Sp, const unsigned char* Line,
                                        ptrdiff_t Last, ptrdiff_t Next, ptrdiff_t Base,
                                        uint64_t Bits) {
    const TFilter<true, true, true> f(Sp, Line);
    do {
        for (; Bits; Bits &= Bits - 1) {
            ptrdiff_t column = Base + __builtin_ctzll(Bits);
            if (PairsMatch(Sp, Line + column, 0)) return column;
        }
    } while (f.Advance(Last, Next, Base, Bits));
    return -1;
}

// Candidates First .. Last, at least 16 of them.
template <bool kTwo, bool kPair0, bool kPair1>
TARVIK_SSE2_FUNCTION int64_t ScanSse2(const TScanPattern& Sp, const unsigned char* Line,
                                      ptrdiff_t First, ptrdiff_t Last) {
    const TFilter<kTwo, kPair0, kPair1> f(Sp, Line);
    ptrdiff_t next = First, base = 0;
    uint64_t bits = 0;
    if (!f.Advance(Last, next, base, bits)) return -1;
    return VerifySse2(Sp, Line, Last, next, base, bits);
}

}  // namespace
#endif

// Column of the first hit in Line at or after First, or -1.
int64_t FindInLine(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                   int64_t First) {
#ifdef TARVIK_SSE2_SCAN
    // Lines too short for one block of candidates take the plain scan.
    int64_t last = Length - Sp.N;
    if (Sp.Filter && last - First >= 15) {
        ptrdiff_t first = static_cast<ptrdiff_t>(First), end = static_cast<ptrdiff_t>(last);
        switch (Sp.Filter) {
            case FilterOn:
                return ScanSse2<false, false, false>(Sp, Line, first, end);
            case FilterOn | FilterPair0 | FilterPair1:
                return ScanSse2<false, true, true>(Sp, Line, first, end);
            case FilterOn | FilterTwoProbes:
                return ScanSse2<true, false, false>(Sp, Line, first, end);
            case FilterOn | FilterTwoProbes | FilterPair1:
                return ScanSse2<true, false, true>(Sp, Line, first, end);
            default:
                return ScanSse2<true, true, true>(Sp, Line, first, end);
        }
    }
#endif
    return FindInLinePlain(Sp, Line, Length, First);
}

}  // namespace tarvik
