#include "ground/characters.h"

namespace tarvik {

bool IsWordChar(TChar Ch) {
    const TUnit U = UnitOf(Ch);
    return (U >= '0' && U <= '9') || (U >= 'A' && U <= 'Z') || (U >= 'a' && U <= 'z') || U == '_' ||
           U >= 128;
}

void ChangeCase(TChar* Units, int Count, TCaseChange Change) {
    for (int I = 0; I < Count; ++I) {
        const TUnit U = UnitOf(Units[I]);
        const bool Small = U >= 'a' && U <= 'z', Capital = U >= 'A' && U <= 'Z';
        if (Small && Change != CaseLower) Units[I] = static_cast<TChar>(U - 32);
        if (Capital && Change != CaseUpper) Units[I] = static_cast<TChar>(U + 32);
    }
}

}  // namespace tarvik
