// The rule for events the plug-in hands to the host. The host dispatches a
// handed-over event to the plug-in again (a nested call) before it acts on it
// itself. When the plug-in declines it there, some builds of the host ask once
// more, with the last record they read from the console (often a key the plug-in
// is handling right then), before they act on the event. Each hand-over is served
// once: a further call within it is declined without a second look, so the host
// goes on with the event and nothing recurses; nesting past any real use is
// declined the same way.
#pragma once

namespace tarvik {

// Before a dispatch of an event: false when the event is to be declined at once.
// A true result is paired with LeaveDispatch.
bool EnterDispatch();
void LeaveDispatch();

// Before the plug-in hands an event to the host: false when it must not (too deep).
// A true result is paired with LeaveHandOver.
bool EnterHandOver();
void LeaveHandOver();

}  // namespace tarvik
