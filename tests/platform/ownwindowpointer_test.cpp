#include "platform/ownwindowpointer.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

using namespace std::chrono_literals;
using Clock = OwnWindowPointer::Clock;

// Our windows' events and the streams' pointer, which lags behind them.
TEST(OwnWindowPointer, OurWindowsAndTheStreamsTogether) {
    const Clock::time_point t0{};
    const DesktopPoint there{10, 10};
    const DesktopPoint elsewhere{300, 40};
    const struct {
        const char* what;
        void (OwnWindowPointer::*event)(Clock::time_point, std::optional<DesktopPoint>);
        std::chrono::milliseconds later;
        std::optional<DesktopPoint> stream;
        bool over;
    } cases[] = {
        // Just entered: ours, whatever the lagging streams say.
        {"entered", &OwnWindowPointer::Entered, 200ms, elsewhere, true},
        // Long since entered, the streams seeing it where it was: still ours.
        {"resting inside", &OwnWindowPointer::Entered, 10s, there, true},
        // Long since entered, the streams seeing it elsewhere: the Leave was
        // missed (the pointer device went away), so sample again.
        {"missed leave", &OwnWindowPointer::Moved, 10s, elsewhere, false},
        {"missed leave, no stream pointer", &OwnWindowPointer::Moved, 10s, std::nullopt, false},
        // Just left, the streams not yet seeing it move: still ours, so the
        // pipette does not sample its own button.
        {"just left", &OwnWindowPointer::Left, 200ms, there, true},
        {"left and moved on", &OwnWindowPointer::Left, 200ms, elsewhere, false},
        // Left a while ago: the streams' word holds at most kStreamLag.
        {"left long ago", &OwnWindowPointer::Left, 2s, there, false},
    };
    for (const auto& c : cases) {
        OwnWindowPointer pointer;
        (pointer.*c.event)(t0, there);
        EXPECT_EQ(pointer.Over(t0 + c.later, c.stream), c.over) << c.what;
    }
    EXPECT_FALSE(OwnWindowPointer().Over(t0, there)) << "never entered";
}

} // namespace
} // namespace tintorel
