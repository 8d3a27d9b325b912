// The monitors' streams a screen cast started, as the portal describes
// them, and their places on the desktop.
#pragma once

#include "platform/desktop/desktopframes.h"

#include <cstdint>
#include <vector>

namespace tintorel {

// One monitor's stream as the portal describes it.
struct CastStream {
    std::uint32_t node = 0;
    // Where the monitor lies and how large it is, in logical units; `placed`
    // tells whether the portal said where (KDE's does not).
    MonitorFrame monitor;
    bool placed = false;
};

// A screen as the toolkit knows the desktop: its place and size in logical
// units and its device pixel ratio.
struct ScreenPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    double scale = 1.0;
};

// Gives each monitor the portal did not place the place and logical size of
// a screen of the same size, in logical units or in device pixels at the
// screen's scale: the screens are taken in order, each once, and a monitor
// of no known size takes the next screen left. Such a place is sure only
// where one screen alone could be the monitor's.
void PlaceStreams(std::vector<CastStream>& streams, const std::vector<ScreenPlace>& screens);

} // namespace tintorel
