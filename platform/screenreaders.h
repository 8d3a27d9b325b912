// Which reader sees the screen for the pipette, chosen once at start:
// on X11, the X server's own (not on XWayland, which shows only X
// programs); on a wlroots-based Wayland compositor, its own protocols
// (live, without a dialog); on other Wayland desktops, the screen-casting
// portal (live where it reports the pointer, else the desktop's one-shot
// colour picker). The environment variable TINTOREL_SCREEN_READER
// ("x11", "wlroots" or "portal") overrides the choice.
#pragma once

#include "platform/screen/screen.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tintorel {

// A Wayland session: WAYLAND_DISPLAY is set, unless XDG_SESSION_TYPE says
// x11 (a compositor started from a console may set neither of the two
// session variables but always sets the display).
bool WaylandSession();

// Which kind of reader to make: `chosen` is TINTOREL_SCREEN_READER's
// value. An X server that is XWayland shows only X programs' windows: the
// desktop's Wayland side is read instead unless the user chose X11, which
// the note then says. `note` is a line for the session log, or empty.
enum class ReaderKind { X11, Wayland };
struct ReaderChoice {
    ReaderKind kind = ReaderKind::X11;
    std::string note;
};
ReaderChoice ChooseReader(const std::string& chosen, bool waylandSession, bool xwayland);

// `loadToken` and `storeToken` keep the portal's restore token; on Wayland,
// `notes` gains lines for the session log saying which reader was chosen
// and why.
std::unique_ptr<ScreenReader> MakeScreenReader(std::function<std::string()> loadToken,
                                               std::function<void(const std::string&)> storeToken,
                                               std::vector<std::string>& notes);

} // namespace tintorel
