// Placeholder: replaced when this part is built.
#include "commands/brackets.h"

namespace tarvik {
void MatchPairForward(TCursorPos) {}
void MatchPairBackward(TCursorPos) {}
}  // namespace tarvik
