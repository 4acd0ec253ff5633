// The search's case rule applied to one line: the case tables, the encoded pattern and
// the scan of a line for it, with a vector filter where the processor has one.
#pragma once

#include <cstdint>

namespace tarvik {

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

void EncodeSearchPattern(unsigned char* Buffer, const unsigned char* Table, int N);
void PrepareScan(TScanPattern& Sp, const unsigned char* Pairs, int N, const unsigned char* Table,
                 bool Vector);
int64_t FindInLine(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                   int64_t First);
int64_t FindInLinePlain(const TScanPattern& Sp, const unsigned char* Line, int64_t Length,
                        int64_t First);

}  // namespace tarvik
