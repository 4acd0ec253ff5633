#include "ground/text.h"

#include <cstring>

namespace tarvik {

int TextLength(const TChar* Text) {
    if (!Text) return 0;
    const size_t length = strlen(Text);
    return length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(length);
}

}  // namespace tarvik
