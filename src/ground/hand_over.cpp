#include "ground/hand_over.h"

namespace tarvik {

namespace {

constexpr int kMaxNesting = 16;
int Nesting = 0;                       // dispatches in progress
int HandOvers = 0;                     // hand-overs to the host in progress
bool HandOverServed[kMaxNesting + 1];  // per hand-over: its nested dispatch has run

}  // namespace

bool EnterDispatch() {
    if (HandOvers > 0) {
        if (HandOverServed[HandOvers]) return false;
        HandOverServed[HandOvers] = true;
    }
    if (Nesting >= kMaxNesting) return false;
    ++Nesting;
    return true;
}

void LeaveDispatch() {
    --Nesting;
}

bool EnterHandOver() {
    if (HandOvers >= kMaxNesting) return false;
    ++HandOvers;
    HandOverServed[HandOvers] = false;
    return true;
}

void LeaveHandOver() {
    --HandOvers;
}

}  // namespace tarvik
