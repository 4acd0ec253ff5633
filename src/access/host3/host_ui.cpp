// The host's screen and messages over the generation-3 interface.
#include "access/host_ui.h"

#include "access/host3/host_services.h"
#include "ground/memory.h"

namespace tarvik {

HANDLE SaveScreenArea(int X1, int Y1, int X2, int Y2) {
    return HostInfo.SaveScreen ? HostInfo.SaveScreen(X1, Y1, X2, Y2) : nullptr;
}

void RestoreScreenArea(HANDLE Saved) {
    if (HostInfo.RestoreScreen) HostInfo.RestoreScreen(Saved);
}

void DrawLine(int X, int Y, WORD Color, const TChar* Line) {
    if (!HostInfo.Text) return;
    // A console attribute as the host's colour record: the two colours as indexes, each
    // opaque (alpha 0xFF), or the host shows nothing.
    api3::Color color;
    color.Flags = api3::FCF_FG_INDEX | api3::FCF_BG_INDEX;
    color.Foreground = 0xFF000000u | (Color & 0x0Fu);
    color.Background = 0xFF000000u | ((Color >> 4) & 0x0Fu);
    color.Underline = 0;
    color.Reserved = 0;
    HostInfo.Text(X, Y, &color, Line);
    // A call without a string makes the host flush its screen output.
    HostInfo.Text(0, 0, nullptr, nullptr);
}

void ShowMessageBox(bool Warning, const TChar* const* Items, int Count, int Buttons) {
    if (!HostInfo.Message) return;
    HostInfo.Message(&PluginId, nullptr, Warning ? uint64_t{api3::FMSG_WARNING} : uint64_t{0},
                     nullptr, Items, static_cast<size_t>(Count), Buttons);
}

const TChar* MessageText(TMessage Id) {
    const TChar* text = HostInfo.GetMsg ? HostInfo.GetMsg(&PluginId, Id) : nullptr;
    return text ? text : TARVIK_TEXT("");
}

// The window shows the UTF-16 text as it is: what is typed is what is looked for.
TChar* SearchTextOnScreen(const TChar* Text, bool /*AnsiWindow*/) {
    return CopyText(Text);
}

}  // namespace tarvik
