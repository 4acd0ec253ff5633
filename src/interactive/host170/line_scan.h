// The search's case rule applied to one line: the case tables, the encoded pattern and
// the scan of a line for it, with a vector filter where the processor has one.
#pragma once

#include <cstdint>

namespace tarvik {

// Upper-case tables: of code page 866, and of the letters of Windows-1251 that code
// page 866 also has. A byte maps to itself unless it is one of the small letters.
extern const unsigned char OemUpperTable[256];
extern const unsigned char AnsiUpperTable[256];

// The encoded pattern with what the scans need of it. A pattern position "takes" the
// line bytes that match it: its own byte, and for a small letter of the table every byte
// the table maps to the same upper case.
struct TScanPattern {
    const unsigned char* Pairs;   // N pairs (U, D)
    int N;                        // pairs: one whose U is 0 (a host table may map a byte
                                  // to 0) does not end the pattern
    const unsigned char* Table;   // upper-case table the pairs were built with
    unsigned char FirstSet[256];  // 1 for every line byte that matches pair 0
    int FirstCount;               // bytes in FirstSet
    unsigned char First[2];       // the first two of them
    // The vector filter: the pattern positions it tests (one or two), each with the one or
    // two bytes B0, B1 it takes. Bytes that differ in one bit at most are tested as
    // (x | Or) == Is, with Or = B0 ^ B1 and Is = B0 | Or; other pairs by two compares, and
    // such a probe comes second. Splats holds Or, Is, B0 and B1 of each repeated 16 times.
    // Filter is 0 when there is none, else FilterOn with the flags of its kind.
    int Filter;
    int ProbeAt[2];
    unsigned char Splats[2][4][16];
};

enum : int { FilterOn = 1, FilterTwoProbes = 2, FilterPair0 = 4, FilterPair1 = 8 };

// Turns the N characters at the start of Buffer (room for 2N + 1 bytes) into the
// pattern's N pairs: U = Table[ch] and D = U - ch (0 when upper-casing leaves ch alone),
// closed by a zero byte.
void EncodeSearchPattern(unsigned char* Buffer, const unsigned char* Table, int N);

// Makes Sp ready to scan for the N encoded Pairs under Table; Vector allows the vector
// filter (where the processor has one).
void PrepareScan(TScanPattern& Sp, const unsigned char* Pairs, int N, const unsigned char* Table,
                 bool Vector);

// Column of the first hit in the Length bytes of Line at or after First, or -1.
int64_t FindInLine(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                   int64_t First);

// FindInLine without the vector filter: the plain scan the vector one must agree with.
int64_t FindInLinePlain(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                        int64_t First);

}  // namespace tarvik
