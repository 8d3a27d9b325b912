// The desktop as a screen-casting compositor shows it: one frame per
// monitor, each with the monitor's place and size in the compositor's
// logical coordinates, and the pointer where a monitor's stream reports
// it. Read as the pipette reads a screen: one desktop of device pixels
// with its top-left at (0, 0).
//
// The monitors are laid out as a LogicalDesktop, each at the scale of its
// frame (a HiDPI monitor's frame has two pixels per logical unit). The
// picture takes the largest scale, so that the sharpest monitor is read
// pixel for pixel and the others show each of their pixels as a block.
#pragma once

#include "platform/desktop/framepixel.h"
#include "platform/desktop/logicaldesktop.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tintorel {

struct MonitorFrame {
    // Where the compositor places the monitor, in logical units.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // The newest complete frame; empty until one arrived.
    int frameWidth = 0;
    int frameHeight = 0;
    int stride = 0;
    FrameFormat format = FrameFormat::Bgrx;
    std::vector<std::uint8_t> bytes;
    // The pointer on this monitor, in frame pixels, when the stream says
    // it is here.
    bool pointerHere = false;
    int pointerX = 0;
    int pointerY = 0;
    // Whether the monitor's place is known for sure: the portal said it,
    // or no other monitor of its size could stand there. Two monitors of
    // one size that the portal only names are told apart by evidence.
    bool sure = true;
    // Its stream is paused (`paused`), or no frame has come since it went
    // on again: the frame it holds is old and is not read.
    bool paused = false;
    bool stale = false;
};

class DesktopFrames {
public:
    // Replaces the monitors; their frames and pointers are set below.
    void SetMonitors(std::vector<MonitorFrame> monitors);

    // Keeps a copy of a frame of monitor `index` (rows of `stride` bytes).
    // A frame too short for its size, or of no size, is dropped.
    void SetFrame(std::size_t index, int width, int height, int stride, FrameFormat format,
                  const std::uint8_t* data, std::size_t size);
    // The pointer is on monitor `index` at (x, y) frame pixels, or not.
    void SetPointer(std::size_t index, bool here, int x, int y);

    // Desktop pixels per logical unit: the largest monitor's scale, 1
    // before any frame arrived.
    double Scale() const;
    // The desktop's size in device pixels: the box around every monitor.
    DesktopPoint Size() const;
    // Where the pointer is on the desktop: on the monitor whose stream
    // reports it within that monitor's frame; empty when none does.
    std::optional<DesktopPoint> Pointer() const;
    // The desktop pixel as 0x00BBGGRR; black outside every monitor and
    // on monitors with no frame yet, and, while the pointer is on a
    // monitor whose place is not sure, on every other monitor: what lies
    // beyond its edges is not known.
    std::uint32_t Pixel(int x, int y) const;
    // Whether the desktop pixel lies on a monitor that has a frame (and
    // may be read, as above): only those are averaged.
    bool PixelExists(int x, int y) const;

    // Evidence of where the pointer is: the screen at `screen` (logical
    // units) holds it, as one of our windows there says while the pointer
    // is over it. A monitor not surely placed that reports the pointer
    // takes that place, swapping with the monitor of its size that stood
    // there; what is left of its size is sure once only one remains.
    void PointerOnScreen(const LogicalRect& screen);
    // The area, in desktop pixels, of the monitor under the centre of
    // `screen` (logical units); nothing when none is.
    std::optional<LogicalRect> MonitorArea(const LogicalRect& screen) const;
    // Whether any monitor has a frame.
    bool HasFrames() const;

    // Which monitors the pipette needs now: those within `reach` logical
    // units of the pointer; every one while no stream reports the pointer,
    // or while a monitor's place is not sure (its stream's reports are the
    // evidence that places it).
    std::vector<bool> Needed(int reach) const;
    // Monitor `index`'s stream is paused: its frame is no longer read, and
    // frames and pointer reports sent before the pause took are dropped.
    // Once resumed, its next frame is read.
    void Pause(std::size_t index);
    void Resume(std::size_t index);
    // Whether any pixel of the area lies on a monitor whose new frame is
    // still to come.
    bool Awaits(int left, int top, int width, int height) const;

private:
    // The monitor whose stream reports the pointer within its frame.
    const MonitorFrame* PointerMonitor() const;
    // Whether a monitor's pixels may be read with the pointer where it is.
    bool Readable(const MonitorFrame& monitor) const;
    const MonitorFrame* MonitorAt(int x, int y, double& lx, double& ly) const;
    // Lays the monitors out again after their places or frame sizes
    // changed.
    void Relayout();

    std::vector<MonitorFrame> monitors_;
    LogicalDesktop desktop_;
};

} // namespace tintorel
