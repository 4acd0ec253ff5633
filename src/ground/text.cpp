#include "ground/text.h"

#include <climits>

namespace tarvik {

int TextLength(const TChar* Text) {
    if (!Text) return 0;
    int length = 0;
    while (length < INT_MAX && Text[length]) ++length;
    return length;
}

}  // namespace tarvik
