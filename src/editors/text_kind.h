// Whether a new window's bindings start on: plain text switches them on; text holding
// control bytes switches them off, and so does text holding tabs unless
// OnForTextWithTabs allows it. A choice remembered for the file wins over this; the
// entry layer asks for it first.
#pragma once

namespace tarvik {

// The initial Mode of the current window from its first MaxDetectSearchLines lines:
// 1 for plain text, 2 for text with control bytes (or tabs, unless allowed), 0 when
// the host cannot report the editor. The lines are read as stored: expanding their
// tabs would change the user's text.
unsigned char DetectTextKind();

}  // namespace tarvik
