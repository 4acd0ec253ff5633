// Arithmetic on positions and counts that come from the host or the registry
// unchecked: worked in 64 bits and brought back into an int.
#pragma once

#include <climits>

namespace tarvik {

// Value clamped into the range of int.
inline int ClampToInt(long long Value) {
    if (Value > INT_MAX) return INT_MAX;
    if (Value < INT_MIN) return INT_MIN;
    return static_cast<int>(Value);
}

}  // namespace tarvik
