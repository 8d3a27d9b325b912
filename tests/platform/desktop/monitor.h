// A monitor at a place, of a size, in logical units; no frame yet.
#pragma once

#include "platform/desktop/desktopframes.h"

namespace tintorel {

inline MonitorFrame Monitor(int x, int y, int width, int height) {
    MonitorFrame monitor;
    monitor.x = x;
    monitor.y = y;
    monitor.width = width;
    monitor.height = height;
    return monitor;
}

} // namespace tintorel
