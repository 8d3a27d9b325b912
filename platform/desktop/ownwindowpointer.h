// Whether the pointer is over one of the program's own windows, on a
// desktop that tells the program neither where its windows are nor where
// the pointer is, beyond its own windows' enter, move and leave events and
// the pointer the screen-casting streams report. Worked out from both, so
// that a missed Leave (the only pointer device went away, a remote session
// ended) cannot keep the pipette from sampling for good, and so that
// streams that report the pointer a moment late cannot make it sample the
// program's own button just after the pointer left it.
#pragma once

#include "platform/desktop/logicaldesktop.h"

#include <chrono>
#include <optional>

namespace tintorel {

class OwnWindowPointer {
public:
    using Clock = std::chrono::steady_clock;
    // How long after our own windows last saw the pointer their word holds
    // although the streams saw it move: the streams' pointer lags behind.
    static constexpr std::chrono::milliseconds kStreamLag{1000};

    // A window of ours saw the pointer enter, move over it, or leave; the
    // streams reported `stream` then.
    void Entered(Clock::time_point now, std::optional<DesktopPoint> stream);
    void Moved(Clock::time_point now, std::optional<DesktopPoint> stream);
    void Left(Clock::time_point now, std::optional<DesktopPoint> stream);

    // How long after the pointer left our windows the streams' word is
    // not taken at all: they may show it on the window a moment longer.
    static constexpr std::chrono::milliseconds kLeaving{300};

    // How far, in the streams' pixels, the streams may show a pointer at
    // rest on our window from where they showed it at the window's last
    // event: they catch up with it only afterwards. The window's larger
    // side; nothing is taken for catching up until it is set.
    void SetReach(int pixels) { reach_ = pixels; }
    // The monitor our window is on, in the streams' pixels: a pointer the
    // streams show there while our windows' word holds has caught up on
    // our window, however far it jumped onto it. Nothing while not known.
    void SetHome(std::optional<LogicalRect> monitor) { home_ = monitor; }

    // Whether the pointer is over our windows, the streams reporting
    // `stream` now. Inside: as long as our windows saw it lately, or the
    // streams still show it where they settled meanwhile, within the reach
    // of where they showed it then or on our window's monitor (a pointer
    // gone further left without a Leave, its device gone, is sampled
    // again). Left: for kLeaving, then
    // until the streams have seen it move away from where it was when it
    // left, for at most kStreamLag. Asking notes where the streams settle.
    bool Over(Clock::time_point now, std::optional<DesktopPoint> stream);

private:
    void Saw(Clock::time_point now, std::optional<DesktopPoint> stream);

    bool known_ = false; // our windows have seen the pointer
    bool inside_ = false;
    std::optional<DesktopPoint> seen_;
    // Where the streams showed the pointer last while our windows' word
    // held, within the reach of `seen_`.
    std::optional<DesktopPoint> settled_;
    int reach_ = 0;
    std::optional<LogicalRect> home_;
    Clock::time_point last_{};
};

} // namespace tintorel
