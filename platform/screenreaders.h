// Which reader sees the screen for the pipette, chosen once at start:
// on X11, Qt's; on a wlroots-based Wayland compositor, its own protocols
// (live, without a dialog); on other Wayland desktops, the screen-casting
// portal (live where it reports the pointer, else the desktop's one-shot
// colour picker). The environment variable TINTOREL_SCREEN_READER
// ("x11", "wlroots" or "portal") overrides the choice.
#pragma once

#include "platform/screen.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tintorel {

// A Wayland session: WAYLAND_DISPLAY is set, unless XDG_SESSION_TYPE says
// x11 (a compositor started from a console may set neither of the two
// session variables but always sets the display).
bool WaylandSession();

// `loadToken` and `storeToken` keep the portal's restore token; on Wayland,
// `notes` gains lines for the session log saying which reader was chosen
// and why.
std::unique_ptr<ScreenReader> MakeScreenReader(std::function<std::string()> loadToken,
                                               std::function<void(const std::string&)> storeToken,
                                               std::vector<std::string>& notes);

} // namespace tintorel
