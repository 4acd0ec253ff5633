// The search's line scan: the vector filter must find exactly the hits of the plain
// scan, and both those of the case rule read byte by byte, over many lines, patterns,
// first columns and case tables (fixed seed: every run scans the same cases).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fixture.h"
#include "interactive/host170/line_scan.h"

namespace {

// A small fixed generator, the same on every platform.
struct Rng {
    uint64_t State;
    uint32_t Next() {
        State = State * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(State >> 33);
    }
    int Below(int N) { return N > 0 ? static_cast<int>(Next() % static_cast<uint32_t>(N)) : 0; }
};

// The case rule itself: pattern position K takes the line byte B.
bool Takes(const unsigned char* Pairs, const unsigned char* Table, int K, unsigned char B) {
    return (Pairs[2 * K + 1] ? Table[B] : B) == Pairs[2 * K];
}

int64_t Reference(const unsigned char* Pairs, int N, const unsigned char* Table,
                  const unsigned char* Line, int64_t Length, int64_t First) {
    for (int64_t At = First; At + N <= Length; ++At) {
        int K = 0;
        while (K < N && Takes(Pairs, Table, K, Line[At + K])) ++K;
        if (K == N) return At;
    }
    return -1;
}

// Bytes a line draws from: letters of both cases, high bytes that the tables fold
// (OEM and ANSI Cyrillic, Yo), NUL and blanks; lines are made of a few of them, so
// that patterns are found often, near misses too.
const unsigned char kPalette[] = {'a',  'A',  'b',  'B',  'q',  'Q',  ' ',  0,    0xA0,
                                  0x80, 0xE0, 0xC0, 0xF1, 0xF0, 0xB8, 0xA8, 0xC1, 0xE1};

std::vector<unsigned char> MakeLine(Rng& R, int Length) {
    std::vector<unsigned char> Line(static_cast<size_t>(Length));
    const int Kind = R.Below(3);
    const unsigned char Repeated = kPalette[R.Below(sizeof kPalette)];
    for (unsigned char& B : Line) {
        if (Kind == 0)
            B = static_cast<unsigned char>(R.Next());
        else if (Kind == 1)
            B = kPalette[R.Below(6 + R.Below(sizeof kPalette - 5))];
        else
            B = R.Below(8) ? Repeated : kPalette[R.Below(sizeof kPalette)];
    }
    return Line;
}

// A pattern cut from the line (at its start, its end or anywhere) with some bytes
// replaced by another byte of the same upper case, or one drawn like a line.
std::vector<unsigned char> MakePattern(Rng& R, const std::vector<unsigned char>& Line,
                                       const unsigned char* Table) {
    const int N = 1 + (R.Below(4) ? R.Below(8) : R.Below(40));
    const int Length = static_cast<int>(Line.size());
    if (N > Length || R.Below(4) == 0) return MakeLine(R, N);
    const int Where = R.Below(3);
    const int At = Where == 0 ? 0 : Where == 1 ? Length - N : R.Below(Length - N + 1);
    std::vector<unsigned char> P(Line.begin() + At, Line.begin() + At + N);
    for (unsigned char& B : P) {
        if (R.Below(3)) continue;
        for (int Try = 0; Try < 8; ++Try) {
            const unsigned char Other = kPalette[R.Below(sizeof kPalette)];
            if (Table[Other] == Table[B]) B = Other;
        }
    }
    return P;
}

TEST(LineScanTest, VectorFilterAndPlainScanFindTheSameHits) {
    // The two tables of the plug-in, the stand-in host's KOI8-R one, and tables as a
    // host may give them: many bytes to one upper case, some to 0.
    std::vector<std::array<unsigned char, 256>> Tables(5);
    std::copy(tarvik::OemUpperTable, tarvik::OemUpperTable + 256, Tables[0].begin());
    std::copy(tarvik::AnsiUpperTable, tarvik::AnsiUpperTable + 256, Tables[1].begin());
    {
        fixture::ResetStandIn();
        host::Host H;
        CharTableSet Set;
        ASSERT_EQ(H.StartupInfo().CharTable(0, reinterpret_cast<char*>(&Set), sizeof Set), 0);
        std::copy(Set.UpperTable, Set.UpperTable + 256, Tables[2].begin());
    }
    Rng R{0x7A11};
    for (size_t T = 3; T < Tables.size(); ++T) {
        for (int C = 0; C < 256; ++C)
            Tables[T][C] = static_cast<unsigned char>(C >= 'a' && C <= 'z' ? C - 32 : C);
        for (int I = 0; I < 12; ++I)
            Tables[T][kPalette[R.Below(sizeof kPalette)]] =
                I % 4 == 0 ? 0 : kPalette[R.Below(sizeof kPalette)];
    }

    int Hits = 0, Vectored = 0;
    for (const auto& Table : Tables) {
        for (int L = 0; L <= 206; ++L) {  // every length to 200, then six long lines
            const int Length = L <= 200 ? L : 300 + R.Below(5000);
            const std::vector<unsigned char> Bytes = MakeLine(R, Length);
            // In a block of exactly its size: a read past the line is a heap overflow.
            std::unique_ptr<unsigned char[]> Line(new unsigned char[Bytes.size()]);
            std::copy(Bytes.begin(), Bytes.end(), Line.get());
            for (int Try = 0; Try < 6; ++Try) {
                const std::vector<unsigned char> Pattern = MakePattern(R, Bytes, Table.data());
                const int N = static_cast<int>(Pattern.size());
                std::vector<unsigned char> Pairs(Pattern);
                Pairs.resize(2 * Pattern.size() + 1);
                tarvik::EncodeSearchPattern(Pairs.data(), Table.data(), N);
                tarvik::TScanPattern Vector, Plain;
                tarvik::PrepareScan(Vector, Pairs.data(), N, Table.data(), true);
                tarvik::PrepareScan(Plain, Pairs.data(), N, Table.data(), false);
                Vectored += Vector.Filter != 0 && Length - N >= 15;
                // Every hit in turn from column 0 and from a column anywhere; past the
                // last, starts further on, up to one past the end.
                for (int64_t First : {int64_t{0}, int64_t{R.Below(Length + 2)}}) {
                    while (First <= Length + 1) {
                        const int64_t A = tarvik::FindInLine(Vector, Line.get(), Length, First);
                        const int64_t B = tarvik::FindInLinePlain(Plain, Line.get(), Length, First);
                        const int64_t Want =
                            Reference(Pairs.data(), N, Table.data(), Line.get(), Length, First);
                        if (A != Want || B != Want) {
                            ADD_FAILURE()
                                << "table " << (&Table - Tables.data()) << " line "
                                << fixture::Visible(std::string(Bytes.begin(), Bytes.end()))
                                << " pattern "
                                << fixture::Visible(std::string(Pattern.begin(), Pattern.end()))
                                << " from " << First << ": vector " << A << ", plain " << B
                                << ", expected " << Want;
                            return;
                        }
                        Hits += A >= 0;
                        First = A < 0 ? 2 * First + 1 : A + 1;
                    }
                }
            }
        }
    }
    // The cases really reach the vector filter (where the processor has one) and find things.
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_GT(Vectored, 1000);
#endif
    EXPECT_GT(Hits, 10000);
}

}  // namespace
