// Decides whether the bindings start on or off in a new window.
#pragma once

namespace tarvik {

// The initial Mode of the current window: the remembered choice, else 1 for
// plain text, 2 for text with control bytes (or tabs, unless allowed), 0 when the
// host cannot report the editor.
unsigned char DetectTextKind();

}  // namespace tarvik
