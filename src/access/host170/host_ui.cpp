// The host's screen and messages over the 1.70 interface.
#include "access/host_ui.h"

#include "access/host170/host_services.h"
#include "ground/memory.h"

namespace tarvik {

HANDLE SaveScreenArea(int X1, int Y1, int X2, int Y2) {
    return SaveScreen ? SaveScreen(X1, Y1, X2, Y2) : nullptr;
}

void RestoreScreenArea(HANDLE Saved) {
    if (RestoreScreen) RestoreScreen(Saved);
}

void DrawLine(int X, int Y, WORD Color, const TChar* Line) {
    if (!Text) return;
    Text(X, Y, Color, Line);
    // A call without a string makes the host flush its screen output.
    Text(0, 0, 0, nullptr);
}

void ShowMessageBox(bool Warning, const TChar* const* Items, int Count, int Buttons) {
    if (Message) Message(ModuleNumber, Warning ? FMSG_WARNING : 0, nullptr, Items, Count, Buttons);
}

const TChar* MessageText(TMessage Id) {
    const char* text = GetMsg ? GetMsg(ModuleNumber, Id) : nullptr;
    return text ? text : "";
}

TChar* SearchTextOnScreen(const TChar* Text, bool AnsiWindow) {
    TChar* copy = CopyText(Text);
    if (copy && *copy && AnsiWindow) {
        OemToCharA(copy, copy);
        CharToOemA(copy, copy);
    }
    return copy;
}

}  // namespace tarvik
