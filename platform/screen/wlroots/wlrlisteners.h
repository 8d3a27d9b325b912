// What the wlroots client's listeners share.
#pragma once

namespace tintorel {

// A listener for an event the client has no use for: libwayland calls
// every entry of a listener, so none may be left empty.
template <typename... Args> void Ignore(void*, Args...) {}

} // namespace tintorel
