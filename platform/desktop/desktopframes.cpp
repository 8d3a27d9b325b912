#include "platform/desktop/desktopframes.h"

#include "util/utilnumber.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace tintorel {

namespace {

bool HasFrame(const MonitorFrame& monitor) {
    return monitor.frameWidth > 0 && monitor.frameHeight > 0 && !monitor.bytes.empty();
}

std::uint32_t ReadPixel(const MonitorFrame& monitor, int x, int y) {
    return FramePixel(monitor.format, monitor.bytes.data() +
                                          static_cast<std::size_t>(y) * monitor.stride +
                                          static_cast<std::size_t>(x) * 4);
}

// Frame pixels per logical unit across and down; 1 without a frame.
double ScaleX(const MonitorFrame& monitor) {
    return HasFrame(monitor) && monitor.width > 0
               ? static_cast<double>(monitor.frameWidth) / monitor.width
               : 1.0;
}

double ScaleY(const MonitorFrame& monitor) {
    return HasFrame(monitor) && monitor.height > 0
               ? static_cast<double>(monitor.frameHeight) / monitor.height
               : 1.0;
}

} // namespace

void DesktopFrames::SetMonitors(std::vector<MonitorFrame> monitors) {
    monitors_ = std::move(monitors);
    Relayout();
}

void DesktopFrames::SetFrame(std::size_t index, int width, int height, int stride,
                             FrameFormat format, const std::uint8_t* data, std::size_t size) {
    if (index >= monitors_.size() || width <= 0 || height <= 0 || width > INT_MAX / 4 ||
        stride < width * 4 || data == nullptr) {
        return;
    }
    // The last row needs only its pixels, not a whole stride.
    const auto needed = static_cast<std::size_t>(height - 1) * static_cast<std::size_t>(stride) +
                        static_cast<std::size_t>(width) * 4;
    if (size < needed) {
        return;
    }
    MonitorFrame& monitor = monitors_[index];
    if (monitor.paused) {
        return; // sent before the pause took: old by the time it is read
    }
    const bool resized = !HasFrame(monitor) || monitor.frameWidth != width;
    monitor.frameWidth = width;
    monitor.frameHeight = height;
    monitor.stride = stride;
    monitor.format = format;
    monitor.bytes.assign(data, data + needed);
    monitor.stale = false;
    if (resized) {
        Relayout();
    }
}

void DesktopFrames::SetPointer(std::size_t index, bool here, int x, int y) {
    if (index >= monitors_.size() || monitors_[index].paused) {
        return;
    }
    monitors_[index].pointerHere = here;
    monitors_[index].pointerX = x;
    monitors_[index].pointerY = y;
}

void DesktopFrames::Relayout() {
    // A monitor with no frame yet is taken at the scale of the sharpest one
    // that has one: it holds its place on the desktop without setting the
    // desktop's grid.
    std::optional<double> sharpest;
    for (const MonitorFrame& monitor : monitors_) {
        if (HasFrame(monitor)) {
            sharpest = std::max(sharpest.value_or(ScaleX(monitor)), ScaleX(monitor));
        }
    }
    std::vector<OutputPlace> outputs;
    outputs.reserve(monitors_.size());
    for (const MonitorFrame& monitor : monitors_) {
        outputs.push_back({{monitor.x, monitor.y, monitor.width, monitor.height},
                           HasFrame(monitor) ? ScaleX(monitor) : sharpest.value_or(1.0),
                           OutputTurn::Normal});
    }
    desktop_.SetOutputs(std::move(outputs));
}

double DesktopFrames::Scale() const {
    return desktop_.Scale();
}

DesktopPoint DesktopFrames::Size() const {
    return desktop_.Size();
}

const MonitorFrame* DesktopFrames::PointerMonitor() const {
    for (const MonitorFrame& monitor : monitors_) {
        // A compositor may report the pointer on a monitor's stream while
        // it is a little beyond that monitor (within the pointer's sprite
        // of its edge): the stream whose frame holds it says where it is.
        const int wide = HasFrame(monitor) ? monitor.frameWidth : monitor.width;
        const int high = HasFrame(monitor) ? monitor.frameHeight : monitor.height;
        if (monitor.pointerHere && monitor.pointerX >= 0 && monitor.pointerY >= 0 &&
            monitor.pointerX < wide && monitor.pointerY < high) {
            return &monitor;
        }
    }
    return nullptr;
}

std::optional<DesktopPoint> DesktopFrames::Pointer() const {
    const MonitorFrame* monitor = PointerMonitor();
    if (monitor == nullptr) {
        return std::nullopt;
    }
    return desktop_.ToDevice(monitor->x + monitor->pointerX / ScaleX(*monitor),
                             monitor->y + monitor->pointerY / ScaleY(*monitor));
}

void DesktopFrames::PointerOnScreen(const LogicalRect& screen) {
    const MonitorFrame* pointing = PointerMonitor();
    if (pointing == nullptr || pointing->sure) {
        return;
    }
    MonitorFrame& moved = monitors_[static_cast<std::size_t>(pointing - monitors_.data())];
    const auto sameSize = [&moved](const MonitorFrame& other) {
        return other.width == moved.width && other.height == moved.height;
    };
    if (screen.width != moved.width || screen.height != moved.height) {
        return; // not a screen this monitor could be
    }
    if (moved.x != screen.x || moved.y != screen.y) {
        const auto there = std::find_if(monitors_.begin(), monitors_.end(), [&](const auto& m) {
            return &m != &moved && !m.sure && sameSize(m) && m.x == screen.x && m.y == screen.y;
        });
        if (there == monitors_.end()) {
            return;
        }
        std::swap(there->x, moved.x);
        std::swap(there->y, moved.y);
        Relayout(); // the two traded places
    }
    moved.sure = true;
    // By elimination: one left of its size stands where it must.
    const auto unsure = [&](const MonitorFrame& m) { return !m.sure && sameSize(m); };
    if (std::count_if(monitors_.begin(), monitors_.end(), unsure) == 1) {
        std::find_if(monitors_.begin(), monitors_.end(), unsure)->sure = true;
    }
}

const MonitorFrame* DesktopFrames::MonitorAt(int x, int y, double& lx, double& ly) const {
    // The centre of the desktop pixel, in logical units.
    const LogicalPoint centre = desktop_.ToLogical(x, y);
    lx = centre.x;
    ly = centre.y;
    const std::optional<std::size_t> under = desktop_.OutputAt(lx, ly);
    return under && HasFrame(monitors_[*under]) ? &monitors_[*under] : nullptr;
}

std::uint32_t DesktopFrames::Pixel(int x, int y) const {
    double lx = 0;
    double ly = 0;
    const MonitorFrame* monitor = MonitorAt(x, y, lx, ly);
    if (monitor == nullptr || !Readable(*monitor)) {
        return 0;
    }
    const int fx =
        std::clamp(FloorToInt((lx - monitor->x) * ScaleX(*monitor)), 0, monitor->frameWidth - 1);
    const int fy =
        std::clamp(FloorToInt((ly - monitor->y) * ScaleY(*monitor)), 0, monitor->frameHeight - 1);
    return ReadPixel(*monitor, fx, fy);
}

bool DesktopFrames::PixelExists(int x, int y) const {
    double lx = 0;
    double ly = 0;
    const MonitorFrame* monitor = MonitorAt(x, y, lx, ly);
    return monitor != nullptr && Readable(*monitor);
}

bool DesktopFrames::Readable(const MonitorFrame& monitor) const {
    if (monitor.stale) {
        return false;
    }
    const MonitorFrame* pointing = PointerMonitor();
    return pointing == nullptr || pointing->sure || pointing == &monitor;
}

std::vector<bool> DesktopFrames::Needed(int reach) const {
    const MonitorFrame* pointing = PointerMonitor();
    const bool allSure = std::all_of(monitors_.begin(), monitors_.end(),
                                     [](const MonitorFrame& monitor) { return monitor.sure; });
    std::vector<bool> needed(monitors_.size(), true);
    if (pointing == nullptr || !allSure) {
        return needed;
    }
    // The pointer in logical units, and each monitor's area around it.
    const double x = pointing->x + pointing->pointerX / ScaleX(*pointing);
    const double y = pointing->y + pointing->pointerY / ScaleY(*pointing);
    for (std::size_t i = 0; i < monitors_.size(); ++i) {
        const MonitorFrame& monitor = monitors_[i];
        needed[i] =
            &monitor == pointing || (x >= static_cast<double>(monitor.x) - reach &&
                                     x < static_cast<double>(monitor.x) + monitor.width + reach &&
                                     y >= static_cast<double>(monitor.y) - reach &&
                                     y < static_cast<double>(monitor.y) + monitor.height + reach);
    }
    return needed;
}

std::optional<LogicalRect> DesktopFrames::MonitorArea(const LogicalRect& screen) const {
    const std::optional<std::size_t> under =
        desktop_.OutputAt(screen.x + screen.width / 2.0, screen.y + screen.height / 2.0);
    if (!under) {
        return std::nullopt;
    }
    const LogicalRect& area = desktop_.Outputs()[*under].area;
    const DesktopPoint topLeft = desktop_.ToDevice(area.x, area.y);
    const DesktopPoint bottomRight = desktop_.ToDevice(static_cast<double>(area.x) + area.width,
                                                       static_cast<double>(area.y) + area.height);
    return LogicalRect{topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y};
}

void DesktopFrames::Pause(std::size_t index) {
    if (index < monitors_.size()) {
        monitors_[index].paused = true;
        monitors_[index].stale = true;
        monitors_[index].pointerHere = false;
    }
}

void DesktopFrames::Resume(std::size_t index) {
    if (index < monitors_.size()) {
        monitors_[index].paused = false;
    }
}

bool DesktopFrames::Awaits(int left, int top, int width, int height) const {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            double lx = 0;
            double ly = 0;
            const MonitorFrame* monitor = MonitorAt(x, y, lx, ly);
            if (monitor != nullptr && monitor->stale) {
                return true;
            }
        }
    }
    return false;
}

bool DesktopFrames::HasFrames() const {
    return std::any_of(monitors_.begin(), monitors_.end(), HasFrame);
}

} // namespace tintorel
